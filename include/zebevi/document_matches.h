// The transport documents matching a typed order, invoice or document
// number, typed: gValida_Num_Documento is called through the component's
// interface and its six parallel lists are read into one row a document.
#ifndef ZEBEVI_DOCUMENT_MATCHES_H_
#define ZEBEVI_DOCUMENT_MATCHES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zebevi/figure.h"
#include "zebevi/value.h"

namespace zebevi::report {

// The inputs of gValida_Num_Documento.
struct DocumentQuery {
  std::string connection;   // invntConecta_db
  Value user;               // invntUsuario_Internet_id; 1 asks for the diagnostic detail
  Value customer;           // invntCliente_id
  Value customer_group;     // invntGrupo_Cliente_id
  Value collaborator;       // invntColaborador_id
  Value supplier;           // invntFornecedor_id
  Value collaborator_type;  // invntTab_Tipo_Colaborador_id
  Value database;           // invntBanco_Dados: accepted, never read
  Value product_name;       // invntNome_Produto: accepted, never read
  Value company;            // invntempresa_Id
  Value order_number;       // invntNum_Pedido
  Value invoice_number;     // invntNota_Fiscal
  Value document_number;    // invntNum_Docto_Transporte
};

struct MatchedDocument {
  IdentifierFigure id;
  IdentifierFigure number;
  DateFigure issued;       // "19/01/2024"
  DateTimeFigure arrived;  // "19/01/2024 14:59:46"; "" before the arrival
  std::string operating_point;
  std::string customer;
};

struct DocumentMatches {
  std::int32_t status = 10;  // 0 listed, 10 refused or no match, 50 the trap ran
  std::string message;       // outvntMsg_ret; "" when none
  // The three typed numbers as the operation cleaned them.
  std::string order_number;
  std::string invoice_number;
  std::string document_number;
  std::optional<std::int64_t> count;  // outvntQtde_Docto; nullopt when not delivered
  std::vector<MatchedDocument> documents;
};

// Calls gValida_Num_Documento on a new EVI object. Throws zebevi::Error
// when the call itself fails.
DocumentMatches FindDocuments(const DocumentQuery& query);

}  // namespace zebevi::report

#endif  // ZEBEVI_DOCUMENT_MATCHES_H_
