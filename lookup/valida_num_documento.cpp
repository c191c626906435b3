// gValida_Num_Documento: checks the order, invoice or transport-document
// number a user typed and lists the transport documents that match it. The
// database decides which documents the caller's identifiers admit.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

Value EVI::gValida_Num_Documento(Value& invntConecta_db, Value& invntUsuario_Internet_id,
                                 Value& invntCliente_id, Value& invntGrupo_Cliente_id,
                                 Value& invntColaborador_id, Value& invntFornecedor_id,
                                 Value& invntTab_Tipo_Colaborador_id, Value& /*invntBanco_Dados*/,
                                 Value& /*invntNome_Produto*/, Value& invntempresa_Id,
                                 Value& invntNum_Pedido, Value& invntNota_Fiscal,
                                 Value& invntNum_Docto_Transporte, Value& outvntQtde_Docto,
                                 Value& outarrvntDocto_Transporte_Id,
                                 Value& outarrvntNum_Docto_Transporte, Value& outarrvntData_Emissao,
                                 Value& outarrvntData_Chegada, Value& outarrvntPonto_Operacao,
                                 Value& outarrvntCliente, Value& outvntMsg_ret) {
  Value result;
  std::string connection_string;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  std::int32_t i = 0;
  frame::Trap trap(frame::kClientesText, "GValida_Num_Documento ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(3750); result = Value::Int16(10);
        at(3760); connection_string = ToString(invntConecta_db);
        // The caller sees the cleaned numbers, whatever happens next.
        at(3770); invntNum_Pedido = Value::String(Rules().CleanText(ToString(invntNum_Pedido)));
        at(3780); invntNota_Fiscal = Value::String(Rules().CleanText(ToString(invntNota_Fiscal)));
        at(3790); invntNum_Docto_Transporte = Value::String(Rules().CleanText(ToString(invntNum_Docto_Transporte)));
        at(3800);
        if (IsTrue(Ne(Rules().AsText(invntNum_Docto_Transporte), ""))) {
          at(3810);
          if (!IsNumeric(invntNum_Docto_Transporte)) {
            at(3820); outvntMsg_ret = "O número do conhecimento deve ser númerico.";
            return;
          }
        }
        at(3860);
        if (IsTrue(And({Eq(Rules().AsText(invntNum_Pedido), ""), Eq(Rules().AsText(invntNota_Fiscal), ""),
                        Eq(Rules().AsNumber(invntNum_Docto_Transporte), 0)}))) {
          at(3870); outvntMsg_ret = "Informe algum documento.";
          return;
        }
        // Exactly two numbers given pass: the database gets both.
        at(3900);
        if (IsTrue(And({Ne(Rules().AsText(invntNum_Pedido), ""), Ne(Rules().AsText(invntNota_Fiscal), ""),
                        Ne(Rules().AsNumber(invntNum_Docto_Transporte), 0)}))) {
          at(3910); outvntMsg_ret = "Informe somente um documento.";
          return;
        }
        at(3940); command = "EXEC SP_ZEB_CON_Docto_Transporte_ID6 ";
        at(3950); command += Rules().SqlText(invntNum_Pedido);
        at(3960); command += ", " + Rules().SqlText(invntNota_Fiscal);
        at(3970); command += ", " + Rules().SqlNumber(invntNum_Docto_Transporte);
        at(3980); command += ", " + Rules().SqlNumber(invntempresa_Id);
        at(3990); command += ", " + Rules().SqlNumber(invntCliente_id);
        at(4000); command += ", " + Rules().SqlNumber(invntGrupo_Cliente_id);
        at(4001); command += ", " + Rules().SqlNumber(invntFornecedor_id);
        at(4002); command += ", " + Rules().SqlNumber(invntColaborador_id);
        at(4003); command += ", " + Rules().SqlNumber(invntTab_Tipo_Colaborador_id) + " ";
        at(4010); rs = std::make_unique<DbRecordset>();
        at(4020); rs->set_cursor_location(CursorLocation::kClient);
        // The result set opens, and owns, a connection of its own.
        at(4030); rs->Open(command, connection_string);
        at(4040);
        if (rs->eof()) {
          at(4050); outvntMsg_ret = "Documento não cadastrado.";
          at(4060); rs->Close();
          at(4070); rs.reset();
          return;
        }
        at(4100); rs->MoveLast();
        at(4110); rs->MoveFirst();
        at(4120); outvntQtde_Docto = Value::Int32(rs->RecordCount());
        at(4130); i = 0; Redim(outarrvntDocto_Transporte_Id, ToInt32(outvntQtde_Docto));
        at(4140); Redim(outarrvntNum_Docto_Transporte, ToInt32(outvntQtde_Docto));
        at(4150); Redim(outarrvntData_Emissao, ToInt32(outvntQtde_Docto));
        at(4160); Redim(outarrvntData_Chegada, ToInt32(outvntQtde_Docto));
        at(4170); Redim(outarrvntPonto_Operacao, ToInt32(outvntQtde_Docto));
        at(4180); Redim(outarrvntCliente, ToInt32(outvntQtde_Docto));
        at(4190); const std::int32_t last = CheckedSub(ToInt32(outvntQtde_Docto), 1);
        for (; i <= last; i = CheckedAdd(i, 1)) {
          at(4200); Element(outarrvntDocto_Transporte_Id, i) = Rules().AsText(rs->Fields("Docto_Transporte_id"));
          at(4210); Element(outarrvntNum_Docto_Transporte, i) = Rules().AsText(rs->Fields("num_docto_transporte"));
          // A text that is no date (a missing one reads "") passes unchanged.
          at(4220); Element(outarrvntData_Emissao, i) = Format(Rules().AsText(rs->Fields("data_emissao")), "DD/MM/YYYY");
          at(4230); Element(outarrvntData_Chegada, i) = Format(Rules().AsText(rs->Fields("Data_Chegada_Cliente_Efetiva")), "DD/MM/YYYY HH:MM:SS");
          at(4240); Element(outarrvntPonto_Operacao, i) = Rules().AsText(rs->Fields("nome_fantasia"));
          at(4250); Element(outarrvntCliente, i) = Rules().AsText(rs->Fields("nome"));
          at(4260); rs->MoveNext();
          at(4270);  // loop end: the index moves on
        }
        at(4280); rs->Close();
        at(4290); rs.reset();
        at(4300); result = Value::Int16(0);
      },
      [&] { result = Value::Int16(50); });
  // clang-format on
  return result;
}

}  // namespace zebevi
