#include "zebevi/order_documents.h"

#include "report/entry_call.h"
#include "report/figure_reading.h"

namespace zebevi::report {

OrderDocuments FindOrder(const OrderQuery& query) {
  EntryCall call("gValida_Num_Pedido_Publ");
  call.Set("invntConecta_db", Value::String(query.connection));
  call.Set("invntUsuario_Internet_id", query.user);
  call.Set("invntBanco_Dados", query.database);
  call.Set("invntNome_Produto", query.product_name);
  call.Set("invntempresa_Id", query.company);
  call.Set("idioma", query.language);
  call.Set("invntNum_Pedido", query.order_number);
  call.Set("inData_Emissao_Ini", query.issued_from);
  call.Set("inData_Emissao_Fim", query.issued_to);
  call.Set("inCGC_Destinatario", query.consignee_cgc);
  call.Set("inCPF_Destinatario", query.consignee_cpf);

  OrderDocuments documents;
  documents.status = call.Run();
  documents.message = DisplayText(call.Get("outvntMsg_ret"));
  documents.order_number = DisplayText(call.Get("invntNum_Pedido"));
  documents.count = IdentifierOf(call.Get("outvntTam_arr")).value;
  documents.return_value = NumberOf(call.Get("outvntRetorno")).value;
  for (const auto& [id, number, issued, delivered] :
       call.Rows("outvntarr_Docto_transporte_id", "outvntarr_Num_docto_transporte",
                 "outvntarr_Data_emissao", "outvntarr_Data_entrega")) {
    documents.documents.push_back(
        {IdentifierOf(id), IdentifierOf(number), DateOf(issued), DateOf(delivered)});
  }
  return documents;
}

}  // namespace zebevi::report
