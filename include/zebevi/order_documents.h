// The transport documents of a published order, typed:
// gValida_Num_Pedido_Publ is called through the component's interface and its
// four parallel lists are read into one row a document.
#ifndef ZEBEVI_ORDER_DOCUMENTS_H_
#define ZEBEVI_ORDER_DOCUMENTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zebevi/figure.h"
#include "zebevi/value.h"

namespace zebevi::report {

// The inputs of gValida_Num_Pedido_Publ.
struct OrderQuery {
  std::string connection;  // invntConecta_db
  Value user;              // invntUsuario_Internet_id; 1 asks for the diagnostic detail
  Value database;          // invntBanco_Dados: accepted, never read
  Value product_name;      // invntNome_Produto: accepted, never read
  Value company;           // invntempresa_Id
  Value language;          // idioma: "I" for English messages, anything else Portuguese
  Value order_number;      // invntNum_Pedido
  Value issued_from;       // inData_Emissao_Ini: a Date, or Empty
  Value issued_to;         // inData_Emissao_Fim
  Value consignee_cgc;     // inCGC_Destinatario
  Value consignee_cpf;     // inCPF_Destinatario
};

struct OrderDocument {
  IdentifierFigure id;
  IdentifierFigure number;
  DateFigure issued;     // "19/01/2024"
  DateFigure delivered;  // "" before the delivery
};

struct OrderDocuments {
  std::int32_t status = 10;  // 0 listed, 10 refused or no match, 50 the trap ran
  std::string message;       // outvntMsg_ret; "" when none
  std::string order_number;  // as the operation cleaned it
  // The database's document count and return value (outvntTam_arr,
  // outvntRetorno); nullopt when not delivered.
  std::optional<std::int64_t> count;
  std::optional<double> return_value;
  std::vector<OrderDocument> documents;
};

// Calls gValida_Num_Pedido_Publ on a new EVI object. Throws zebevi::Error
// when the call itself fails.
OrderDocuments FindOrder(const OrderQuery& query);

}  // namespace zebevi::report

#endif  // ZEBEVI_ORDER_DOCUMENTS_H_
