// The tables of the data set and the columns the generator fills, matching
// schema/sqlite/schema.sql.
#ifndef ZEBEVI_SCHEMA_TABLES_H_
#define ZEBEVI_SCHEMA_TABLES_H_

#include <span>

#include "schema/row_sink.h"

namespace zebevi::schema::tables {

extern const TableLayout kEmpresa;
extern const TableLayout kPontoOperacao;
extern const TableLayout kParceiro;
extern const TableLayout kGrupoCliente;
extern const TableLayout kCliente;
extern const TableLayout kFornecedor;
extern const TableLayout kTipoColaborador;
extern const TableLayout kColaborador;
extern const TableLayout kProduto;
extern const TableLayout kCavalo;
extern const TableLayout kCarreta;
extern const TableLayout kRota;
extern const TableLayout kTipoMacro;
extern const TableLayout kParticulFuncao;
extern const TableLayout kGrupoUsuario;
extern const TableLayout kGrupoUsuarioParticul;
extern const TableLayout kPedido;
extern const TableLayout kDoctoTransporte;
extern const TableLayout kTrocaDoctoTransp;
extern const TableLayout kNotaFiscal;
extern const TableLayout kTrackingMensagem;
extern const TableLayout kResumoCiclo;

// Every table above, each after the tables its foreign keys point to.
std::span<const TableLayout* const> All();

}  // namespace zebevi::schema::tables

#endif  // ZEBEVI_SCHEMA_TABLES_H_
