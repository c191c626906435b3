#include "zebevi/dispatch.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zebevi {
namespace {

TEST(InterfaceTable, ListsTheFourteenOperationsWithTheirTypedParameters) {
  const auto& table = InterfaceTable();
  ASSERT_EQ(table.size(), 14u);
  // clang-format off
  const std::pair<std::string_view, std::size_t> expected[] = {
      {"gConsulta_Espelho_Viagem", 47}, {"gConsulta_Grupo_Usuario_Parti", 18},
      {"mBusca_Apuracao", 23}, {"mBusca_Dados_Docto_Viagem", 21},
      {"mConsulta_TROCA_DOCTO_TRANSP", 10}, {"mBusca_Dados_Viagem", 13},
      {"gValida_Num_Documento", 21}, {"gValida_Num_Pedido_Publ", 18}, {"mConsulta_Dados_Rota", 7},
      {"mConsulta_Grupo_Usuario_Parti", 19}, {"mBusca_Nota_Fiscais", 11},
      {"mConverte_Decimal_Hora", 3}, {"mPega_Hora", 4}, {"mPega_Minuto", 4}};
  // clang-format on
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].name, expected[i].first);
    EXPECT_EQ(table[i].params.size(), expected[i].second) << table[i].name;
    EXPECT_EQ(table[i].dispid, 0x60030000 + static_cast<std::int32_t>(i));
    EXPECT_EQ(table[i].params.back().name, "outvntMsg_ret");
  }

  // The one untyped connection parameter is an Object.
  const OperationInfo* troca = FindOperation("mConsulta_TROCA_DOCTO_TRANSP");
  EXPECT_EQ(std::tuple(troca->params[0].kind, troca->params[4].kind, troca->result),
            std::tuple(ParamKind::kObject, ParamKind::kInt32Array, ResultKind::kBoolean));
  EXPECT_EQ(FindOperation(0x60030008)->params[3].kind, ParamKind::kDbConnection);
  EXPECT_EQ(FindOperation("mpega_hora")->result, ResultKind::kValue);
  EXPECT_EQ(FindOperation("nothing"), nullptr);
  EXPECT_EQ(FindOperation(0x6003000E), nullptr);
}

TEST(Invoke, CallsByNameOrIdentifierAndRefusesWrongArguments) {
  auto evi = CreateEVI();
  std::vector<Argument> args{Value::Int32(5400), Value(), Value(), Value()};
  EXPECT_EQ(Invoke(*evi, "MPEGA_HORA", args), Value::Boolean(true));
  EXPECT_EQ(std::get<Value>(args[1]), Value("1"));
  std::vector<Argument> convert{Value::Int32(90061), Value(), Value()};
  EXPECT_EQ(Invoke(*evi, 0x6003000B, convert), Value::Boolean(true));
  EXPECT_EQ(std::get<Value>(convert[1]), Value("25:01"));

  // Wrong counts, kinds and names: the operation is not called.
  std::vector<Argument> three{Value::Int32(5400), Value(), Value()};
  EXPECT_AUTOMATION_ERROR(Invoke(*evi, "mPega_Hora", three), 450);
  std::vector<Argument> typed{Value::Int32(5400), std::string("x"), Value(), Value()};
  EXPECT_AUTOMATION_ERROR(Invoke(*evi, "mPega_Hora", typed), 13);
  EXPECT_EQ(std::get<std::string>(typed[1]), "x");
  EXPECT_AUTOMATION_ERROR(Invoke(*evi, "mPega_Segundo", args), 438);
  EXPECT_AUTOMATION_ERROR(Invoke(*evi, 0x60020000, args), 438);
}

}  // namespace
}  // namespace zebevi
