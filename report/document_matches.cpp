#include "zebevi/document_matches.h"

#include "report/entry_call.h"
#include "report/figure_reading.h"

namespace zebevi::report {

DocumentMatches FindDocuments(const DocumentQuery& query) {
  EntryCall call("gValida_Num_Documento");
  call.Set("invntConecta_db", Value::String(query.connection));
  call.Set("invntUsuario_Internet_id", query.user);
  call.Set("invntCliente_id", query.customer);
  call.Set("invntGrupo_Cliente_id", query.customer_group);
  call.Set("invntColaborador_id", query.collaborator);
  call.Set("invntFornecedor_id", query.supplier);
  call.Set("invntTab_Tipo_Colaborador_id", query.collaborator_type);
  call.Set("invntBanco_Dados", query.database);
  call.Set("invntNome_Produto", query.product_name);
  call.Set("invntempresa_Id", query.company);
  call.Set("invntNum_Pedido", query.order_number);
  call.Set("invntNota_Fiscal", query.invoice_number);
  call.Set("invntNum_Docto_Transporte", query.document_number);

  DocumentMatches matches;
  matches.status = call.Run();
  matches.message = DisplayText(call.Get("outvntMsg_ret"));
  matches.order_number = DisplayText(call.Get("invntNum_Pedido"));
  matches.invoice_number = DisplayText(call.Get("invntNota_Fiscal"));
  matches.document_number = DisplayText(call.Get("invntNum_Docto_Transporte"));
  matches.count = IdentifierOf(call.Get("outvntQtde_Docto")).value;
  for (const auto& [id, number, issued, arrived, point, customer] : call.Rows(
           "outarrvntDocto_Transporte_Id", "outarrvntNum_Docto_Transporte", "outarrvntData_Emissao",
           "outarrvntData_Chegada", "outarrvntPonto_Operacao", "outarrvntCliente")) {
    matches.documents.push_back({IdentifierOf(id), IdentifierOf(number), DateOf(issued),
                                 DateTimeOf(arrived), DisplayText(point), DisplayText(customer)});
  }
  return matches;
}

}  // namespace zebevi::report
