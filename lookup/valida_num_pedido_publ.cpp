// gValida_Num_Pedido_Publ: the transport documents of a published order
// number, optionally narrowed by issue dates and the consignee's tax
// numbers. Three of its messages come in English when idioma is "I".
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/db.h"
#include "zebevi/value_rules.h"

namespace zebevi {

Value EVI::gValida_Num_Pedido_Publ(
    Value& invntConecta_db, Value& invntUsuario_Internet_id, Value& /*invntBanco_Dados*/,
    Value& /*invntNome_Produto*/, Value& invntempresa_Id, Value& idioma, Value& invntNum_Pedido,
    Value& outvntRetorno, Value& outvntTam_arr, Value& outvntarr_Docto_transporte_id,
    Value& outvntarr_Num_docto_transporte, Value& outvntarr_Data_emissao,
    Value& outvntarr_Data_entrega, Value& inData_Emissao_Ini, Value& inData_Emissao_Fim,
    Value& inCGC_Destinatario, Value& inCPF_Destinatario, Value& outvntMsg_ret) {
  Value result;
  std::string connection_string;
  std::string command;
  std::unique_ptr<DbRecordset> rs;
  std::int32_t i = 0;
  std::int32_t count = 0;
  frame::Trap trap(frame::kClientesText, "gValida_Num_Pedido_Publ ( ", invntUsuario_Internet_id,
                   outvntMsg_ret);
  // Each step keeps its label beside it; the middle run of labels is lower
  // than the steps around it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(4380); result = Value::Int16(10);
        at(4390); connection_string = ToString(invntConecta_db);
        // The caller sees the cleaned number, whatever happens next.
        at(4400); invntNum_Pedido = Value::String(Rules().CleanText(ToString(invntNum_Pedido)));
        // Dates and tax numbers may all be left empty.
        at(4410);
        if (IsTrue(Eq(Rules().AsText(invntNum_Pedido), ""))) {
          at(4420); outvntMsg_ret = "Informe algum documento.";
          return;
        }
        at(4450); command = "EXEC SP_ZEB_CONS_pedido_PUBL ";
        // The company travels as text; argument 2 is always the literal null.
        at(4460); command += Rules().SqlText(invntempresa_Id) + ", ";
        at(4470); command += "null, ";
        at(4480); command += Rules().SqlText(invntNum_Pedido);
        at(4490); command += ", " + Rules().SqlDate(inData_Emissao_Ini);
        at(4500); command += ", " + Rules().SqlDate(inData_Emissao_Fim);
        at(4510); command += ", " + Rules().SqlText(inCGC_Destinatario);
        at(4520); command += ", " + Rules().SqlText(inCPF_Destinatario) + " ";
        at(4530); rs = std::make_unique<DbRecordset>();
        at(4540); rs->set_cursor_location(CursorLocation::kClient);
        // The result set opens, and owns, a connection of its own.
        at(4550); rs->Open(command, connection_string);
        at(280);
        if (rs->eof()) {
          at(300);
          if (IsTrue(Eq(idioma, "I"))) {
            at(310); outvntMsg_ret = "Problem with Document table. Please, try again later.";
          } else {
            at(330); outvntMsg_ret = "Cadastro de Pedido com problemas.";
          }
          at(350); rs->Close();
          at(360); rs.reset();
          return;
        }
        // The first row carries the count of documents.
        at(420);
        if (IsTrue(Eq(Rules().AsNumber(rs->Fields("contador")), 0))) {
          at(800);
          if (IsTrue(Eq(idioma, "I"))) {
            // "Can´t" carries an acute accent (U+00B4), not an apostrophe.
            at(820); outvntMsg_ret = "Can\u00b4t find any cargo whit this filter.";
          } else {
            at(840); outvntMsg_ret = "Não existe o Pedido informado no banco de dados.";
          }
          at(940); rs->Close();
          at(950); rs.reset();
          return;
        }
        at(1010); i = 0;
        at(1020); outvntTam_arr = Rules().AsNumber(rs->Fields("contador"));
        at(1030); outvntRetorno = Rules().AsNumber(rs->Fields("retorno"));
        // The lists end at the announced count less one, as a 32-bit integer.
        at(1040); count = CheckedAdd(ToInt32(Value::Double(ToDouble(outvntTam_arr) - 1)), 1); Redim(outvntarr_Docto_transporte_id, count);
        at(1050); Redim(outvntarr_Num_docto_transporte, count);
        at(1070); Redim(outvntarr_Data_emissao, count);
        at(1080); Redim(outvntarr_Data_entrega, count);
        // The rows drive the loop: a row beyond the last element fails.
        for (;;) {
          at(1090); if (rs->eof()) break;
          at(1100); Element(outvntarr_Docto_transporte_id, i) = Rules().AsNumber(rs->Fields("Docto_Transporte_id"));
          at(1110); Element(outvntarr_Num_docto_transporte, i) = Rules().AsNumber(rs->Fields("num_docto_transporte"));
          // The picture takes the field's own value; its text only tells
          // whether there is a date.
          at(1130);
          if (IsTrue(Ne(Rules().AsText(rs->Fields("data_emissao")), ""))) {
            at(1140); Element(outvntarr_Data_emissao, i) = Format(rs->Fields("data_emissao"), "dd/mm/yyyy");
          } else {
            at(1160); Element(outvntarr_Data_emissao, i) = "";
          }
          at(1180);
          if (IsTrue(Ne(Rules().AsText(rs->Fields("data_entrega")), ""))) {
            at(1190); Element(outvntarr_Data_entrega, i) = Format(rs->Fields("data_entrega"), "dd/mm/yyyy");
          } else {
            at(1210); Element(outvntarr_Data_entrega, i) = "";
          }
          at(1230); rs->MoveNext();
          at(1240); i = CheckedAdd(i, 1);
        }
        at(1260); rs->Close();
        at(1270); rs.reset();
        at(4560); result = Value::Int16(0);
      },
      [&] { result = Value::Int16(50); });
  // clang-format on
  return result;
}

}  // namespace zebevi
