#include "trip_fixture.h"

#include "frame/trap.h"

namespace zebevi::testing {

const Value kClientes{std::string(frame::kClientesText)};

const std::string kTrips = R"sql(
-- One row per child; `ord` keeps the rows in the order the procedure gives.
CREATE TABLE troca (doc INTEGER, ord INTEGER, retorno, pai_id, num_pai, filho_id, num_filho);
INSERT INTO troca VALUES
  (1001, 1, 0, 1000, '1000', 1001, '1001'),
  (1001, 2, 0, 1000, '1000', 1002, '1002'),
  (600, 1, 0, 601, ' P-601 ', 600, 'C-600'),
  (500, 1, 1, 500, 'CT-500', NULL, NULL),
  (500, 2, 0, 9, 'x', 9, 'y'),
  (800, 1, NULL, NULL, NULL, NULL, NULL),
  (900, 1, 0, 3000000000, '900', 901, '901');
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_TROCA_DOCTO_TRANSP',
  'SELECT retorno, pai_id AS DOCTO_TRANSP_PAI_ID, num_pai AS num_docto_pai,
          filho_id AS DOCTO_TRANSP_FILHO_ID, num_filho AS num_docto_filho
     FROM troca WHERE doc = ?1 ORDER BY ord');
-- Each document's header rows; the defaults make a complete header.
CREATE TABLE cabec (
  doc INTEGER, ord INTEGER DEFAULT 1,
  num_pedido_interno TEXT DEFAULT 'PED-77', num_docto_transporte TEXT DEFAULT ' CT-1001 ',
  CAVALO TEXT DEFAULT '1234', PLACA_CAVALO TEXT DEFAULT 'ABC1234',
  carreta TEXT DEFAULT 'XYZ9876', PLACA_carreta TEXT DEFAULT 'XYZ9876',
  produto TEXT DEFAULT 'Soja em grão', nome TEXT DEFAULT 'João da Silva',
  Data_Chegada_Cliente_Efetiva DATETIME DEFAULT '2026-03-05 14:07:09',
  data_Chegada_cliente_prevista DATETIME DEFAULT '2026-03-06 08:00:00',
  data_prevista_rastreador DATETIME DEFAULT '2026-12-31 23:59:59',
  remetente TEXT DEFAULT 'Agro Sul Ltda', destinatario TEXT DEFAULT 'Porto Norte S.A.',
  cliente TEXT DEFAULT 'Cooperativa Central', rota_id DEFAULT 7, flag_no_prazo DEFAULT 'I');
INSERT INTO cabec (doc) VALUES (1);
INSERT INTO cabec (doc, ord, num_pedido_interno, rota_id, flag_no_prazo) VALUES (1, 2, 'PED-2', 8, 'N');
INSERT INTO cabec (doc, Data_Chegada_Cliente_Efetiva, data_Chegada_cliente_prevista,
  data_prevista_rastreador, rota_id, produto) VALUES (2, NULL, NULL, NULL, NULL, NULL);
INSERT INTO cabec (doc, rota_id) VALUES (3, 3000000000);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Dados_Doc_Viagem11',
  'SELECT cabec.*, ?2 AS pai, ?3 AS flag FROM cabec WHERE doc = ?1 ORDER BY ord');
CREATE TABLE nf (doc INTEGER, ord INTEGER, nota_fiscal, peso_real_kg, val_declarado);
INSERT INTO nf VALUES (1, 3, ' 000125 ', NULL, 1234.5), (1, 1, '000123', 1500.5, 0.5),
  (1, 2, '000124', 20000, 1234567), (2, 1, '000200', 10, -1234.567);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_NOTA_FISCAL_DOCTO3',
  'SELECT nota_fiscal, peso_real_kg, val_declarado, ?2 AS pai, ?3 AS flag
     FROM nf WHERE doc = ?1 ORDER BY ord');
-- The customer's view leaves out the occurrences not meant for customers.
CREATE TABLE oc (doc INTEGER, ord INTEGER, DESC_TIPO_MACRO TEXT, data_tracking DATETIME,
                 odometro, visivel TEXT);
INSERT INTO oc VALUES
  (1, 1, ' Início de viagem ', '2026-03-05 14:07:09', 123456.7, 'S'),
  (1, 2, 'Parada para descanso', '2026-03-05 22:30:00', 123789, 'N'),
  (1, 3, 'Chegada no cliente', '2026-03-06 08:05:59', NULL, 'S');
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_TRACKING_CICLO5',
  'SELECT DESC_TIPO_MACRO, data_tracking, odometro, ?2 AS pai, ?3 AS flag
     FROM oc WHERE doc = ?1 ORDER BY ord');
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_TRACK_CICLO_CLI5',
  'SELECT DESC_TIPO_MACRO, data_tracking, odometro, ?2 AS pai, ?3 AS flag
     FROM oc WHERE doc = ?1 AND visivel = ''S'' ORDER BY ord');
-- Document 1 has two cycle rows (the second must be ignored); document 2 a
-- return time that no conversion takes.
CREATE TABLE ciclo (doc INTEGER, ord INTEGER, Km_total, km_ate_rem, km_rem_dest, km_apos_dest,
  tempo_operacao, tempo_transporte, tempo_ate_rem, tempo_retorno, Tempo_proc, tempo_carga, tempo_descarga, tempo_janela_espera,
  tempo_ant_carga, tempo_pos_carga, tempo_ant_desc, tempo_pos_desc, tempo_rem_dest);
INSERT INTO ciclo VALUES
  (1, 1, 1250.5, 300, NULL, 50.25, 5400, 120, 3600, 86400, 90061, 59.5, 3599, 360000,
   2147483647, 180, NULL, 7200, 240),
  (1, 2, 1, 1, 1, 1, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60),
  (2, 1, 10, 20, 30, 40, 5400, 120, 3600, 2147483648, 1, 1, 1, 1, 1, 1, 1, 1, 1);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Resumo_Ciclo2',
  'SELECT ciclo.*, ?2 AS flag FROM ciclo WHERE doc = ?1 ORDER BY ord');
CREATE TABLE rota (rota_id INTEGER, total_km REAL, tempo_previsto);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Tempo_km_Rota',
  'SELECT total_km, tempo_previsto FROM rota WHERE rota_id = ?1 ORDER BY rowid');
-- A day and two hours, 45 minutes, a time text, a second row ignored, past
-- any calendar, nulls.
INSERT INTO rota VALUES (7, 412.5, 1.0833333333333333), (8, 95, 0.03125), (9, 10, '05:30'),
  (10, 1, 0.5), (10, 2, 0.75), (11, 3, 1e9), (12, NULL, NULL);
-- Whole trips: 1001 the child of the exchange 1000, with a route; 20 without
-- route or occurrence; 30 without exchange row; 40 without header; 50 with a
-- return time that no conversion takes.
INSERT INTO troca VALUES (20, 1, 1, 20, 'CT-20', NULL, NULL), (40, 1, 1, 40, 'CT-40', NULL, NULL),
  (50, 1, 1, 50, 'CT-50', NULL, NULL);
INSERT INTO cabec (doc, num_docto_transporte, rota_id) VALUES
  (1001, 'CT-1001', 7), (20, 'CT-20', 0), (30, 'CT-30', NULL), (50, 'CT-50', 7);
INSERT INTO nf VALUES (1001, 1, '000123', 1500.5, 1234.5), (20, 1, '000200', 10, 1),
  (30, 1, '000300', 10, 1), (50, 1, '000500', 10, 1);
INSERT INTO oc VALUES (1001, 1, 'Início de viagem', '2026-03-05 06:00:00', 1000, 'S'),
  (50, 1, 'Início', '2026-03-01 06:00:00', 1, 'S');
INSERT INTO ciclo VALUES (1001, 1, 1, 1, 1, 1, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60),
  (20, 1, 1, 1, 1, 1, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60),
  (30, 1, 1, 1, 1, 1, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60),
  (50, 1, 10, 20, 30, 40, 5400, 120, 3600, 2147483648, 1, 1, 1, 1, 1, 1, 1, 1, 1);
)sql";

}  // namespace zebevi::testing
