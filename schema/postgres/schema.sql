-- Reference freight database of a road-freight carrier, PostgreSQL edition.
--
-- The same tables, columns and indexes as the SQLite edition, so that one
-- data set loads into either engine: DATETIME columns are TIMESTAMP(0)
-- here and REAL columns DOUBLE PRECISION. Names are unquoted, so the server
-- keeps them in lower case and any letter case finds them. Tax numbers (CGC
-- 14 digits, CPF 11 digits) are digit strings without punctuation.
-- Durations are whole seconds, distances kilometres, weights kilograms,
-- money reais. The procedures are functions, in procedures.sql.
--
-- Load into an empty database, as the role that will own the data:
--   psql -v ON_ERROR_STOP=1 -f schema.sql -f procedures.sql

-- Carriers that use the service.
CREATE TABLE empresa (
  empresa_id INTEGER PRIMARY KEY,
  razao_social VARCHAR(100) NOT NULL,
  nome_fantasia VARCHAR(60) NOT NULL,
  cgc CHAR(14) NOT NULL,
  cidade VARCHAR(60) NOT NULL,
  uf CHAR(2) NOT NULL
);

-- A carrier's branches and yards; every transport document is issued by one.
CREATE TABLE ponto_operacao (
  ponto_operacao_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  nome_fantasia VARCHAR(60) NOT NULL,
  cidade VARCHAR(60) NOT NULL,
  uf CHAR(2) NOT NULL
);

-- Every party a document names: senders, consignees and the registrations
-- behind customers. A company has a CGC, a person (a rural producer, say) a
-- CPF.
CREATE TABLE parceiro (
  parceiro_id INTEGER PRIMARY KEY,
  nome VARCHAR(100) NOT NULL,
  cgc CHAR(14),
  cpf CHAR(11),
  cidade VARCHAR(60) NOT NULL,
  uf CHAR(2) NOT NULL,
  CHECK ((cgc IS NULL) <> (cpf IS NULL))
);

-- Customers of a carrier (who pays the freight), optionally gathered in a
-- customer group (an economic group whose users see all its members).
CREATE TABLE grupo_cliente (
  grupo_cliente_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  nome VARCHAR(60) NOT NULL
);

CREATE TABLE cliente (
  cliente_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  parceiro_id INTEGER NOT NULL REFERENCES parceiro,
  grupo_cliente_id INTEGER REFERENCES grupo_cliente
);

-- Suppliers of vehicles: third-party fleets and owner-drivers hired by the
-- carrier. A supplier's users see the trips made with its vehicles.
CREATE TABLE fornecedor (
  fornecedor_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  razao_social VARCHAR(100) NOT NULL,
  cgc CHAR(14) NOT NULL
);

-- Kinds of carrier staff and how much of the carrier's documents each sees:
-- 'E' everything of its company, 'P' the documents of its own operating
-- point, 'M' the trips it drove.
CREATE TABLE tab_tipo_colaborador (
  tab_tipo_colaborador_id INTEGER PRIMARY KEY,
  descricao VARCHAR(60) NOT NULL,
  escopo CHAR(1) NOT NULL CHECK (escopo IN ('E', 'P', 'M'))
);

-- Carrier staff, drivers included.
CREATE TABLE colaborador (
  colaborador_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  ponto_operacao_id INTEGER NOT NULL REFERENCES ponto_operacao,
  tab_tipo_colaborador_id INTEGER NOT NULL REFERENCES tab_tipo_colaborador,
  nome VARCHAR(100) NOT NULL,
  cpf CHAR(11) NOT NULL
);

CREATE TABLE produto (
  produto_id INTEGER PRIMARY KEY,
  descricao VARCHAR(60) NOT NULL
);

-- Tractors and trailers. num_frota is the fleet number painted on the
-- vehicle; a hired vehicle is known by its plate, so there it repeats the
-- plate. Plates are Brazilian: old AAA9999 or Mercosul AAA9A99.
CREATE TABLE cavalo (
  cavalo_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  num_frota VARCHAR(10) NOT NULL,
  placa CHAR(7) NOT NULL,
  modelo VARCHAR(40) NOT NULL,
  fornecedor_id INTEGER REFERENCES fornecedor
);

CREATE TABLE carreta (
  carreta_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  num_frota VARCHAR(10) NOT NULL,
  placa CHAR(7) NOT NULL,
  tipo_carreta VARCHAR(40) NOT NULL,
  fornecedor_id INTEGER REFERENCES fornecedor
);

-- Planned routes: distance in km and planned travel time in days (26 hours
-- is 1.0833...), the form in which a date-time value counts time.
CREATE TABLE rota (
  rota_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  descricao VARCHAR(120) NOT NULL,
  cidade_origem VARCHAR(60) NOT NULL,
  uf_origem CHAR(2) NOT NULL,
  cidade_destino VARCHAR(60) NOT NULL,
  uf_destino CHAR(2) NOT NULL,
  total_km DOUBLE PRECISION NOT NULL,
  tempo_previsto DOUBLE PRECISION NOT NULL
);

-- Types of the messages ("macros") that the on-board tracking unit sends.
-- visivel_cliente 'S': a customer may see occurrences of this type.
CREATE TABLE tipo_macro (
  tipo_macro_id INTEGER PRIMARY KEY,
  desc_tipo_macro VARCHAR(60) NOT NULL,
  visivel_cliente CHAR(1) NOT NULL CHECK (visivel_cliente IN ('S', 'N'))
);

-- Optional features of the trip summary and the grants of user groups.
-- A group's grant is present when presenca_particularidade is 'S'.
CREATE TABLE PARTICUL_FUNCAO (
  PARTICUL_FUNCAO_ID INTEGER PRIMARY KEY,
  desc_particul_funcao VARCHAR(60) NOT NULL
);

CREATE TABLE grupo_usuario (
  grupo_usuario_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  descricao VARCHAR(60) NOT NULL
);

CREATE TABLE GRUPO_USUARIO_PARTICUL (
  GRUPO_USUARIO_PARTICUL_ID INTEGER PRIMARY KEY,
  Grupo_Usuario_Id INTEGER NOT NULL REFERENCES grupo_usuario,
  PARTICUL_FUNCAO_ID INTEGER NOT NULL REFERENCES PARTICUL_FUNCAO,
  presenca_particularidade CHAR(1) NOT NULL CHECK (presenca_particularidade IN ('S', 'N'))
);

-- Customer orders. num_pedido is the customer's own order number, the one
-- its users type and publish; num_pedido_interno is the carrier's.
CREATE TABLE pedido (
  pedido_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  cliente_id INTEGER NOT NULL REFERENCES cliente,
  num_pedido VARCHAR(20) NOT NULL,
  num_pedido_interno VARCHAR(20) NOT NULL,
  data_pedido DATE NOT NULL
);

-- Transport documents (consignment notes), one per trip leg of an order.
-- Arrival times: planned (data_chegada_cliente_prevista), estimated by the
-- tracking unit (data_prevista_rastreador), effective; data_entrega is the
-- end of unloading. All are null for a trip not yet planned, and the
-- effective ones for a trip still under way. flag_no_prazo: 'S' arrived in
-- time, 'N' late, 'I' no planned time to judge by, null still under way.
-- A document without a planned route has rota_id null.
CREATE TABLE docto_transporte (
  docto_transporte_id INTEGER PRIMARY KEY,
  empresa_id INTEGER NOT NULL REFERENCES empresa,
  ponto_operacao_id INTEGER NOT NULL REFERENCES ponto_operacao,
  num_docto_transporte INTEGER NOT NULL,
  data_emissao DATE NOT NULL,
  pedido_id INTEGER NOT NULL REFERENCES pedido,
  cliente_id INTEGER NOT NULL REFERENCES cliente,
  remetente_id INTEGER NOT NULL REFERENCES parceiro,
  destinatario_id INTEGER NOT NULL REFERENCES parceiro,
  produto_id INTEGER NOT NULL REFERENCES produto,
  cavalo_id INTEGER NOT NULL REFERENCES cavalo,
  carreta_id INTEGER REFERENCES carreta,
  motorista_id INTEGER NOT NULL REFERENCES colaborador,
  rota_id INTEGER REFERENCES rota,
  data_chegada_cliente_prevista TIMESTAMP(0),
  data_prevista_rastreador TIMESTAMP(0),
  data_chegada_cliente_efetiva TIMESTAMP(0),
  data_entrega TIMESTAMP(0),
  flag_no_prazo CHAR(1) CHECK (flag_no_prazo IN ('S', 'N', 'I'))
);

-- Document exchanges: child documents replaced by one parent document that
-- carries their freight on the parent's trip. A child belongs to at most one
-- exchange, a parent is never a child. The trip itself (vehicles, driver,
-- arrival times, route, tracking, cycle measures) is the parent's.
CREATE TABLE troca_docto_transp (
  docto_transp_filho_id INTEGER PRIMARY KEY REFERENCES docto_transporte,
  docto_transp_pai_id INTEGER NOT NULL REFERENCES docto_transporte,
  data_troca TIMESTAMP(0) NOT NULL
);

-- Invoices (notas fiscais) carried under a document.
CREATE TABLE nota_fiscal (
  nota_fiscal_id INTEGER PRIMARY KEY,
  docto_transporte_id INTEGER NOT NULL REFERENCES docto_transporte,
  num_nota_fiscal VARCHAR(9) NOT NULL,
  serie VARCHAR(3) NOT NULL,
  data_emissao DATE NOT NULL,
  peso_real_kg DOUBLE PRECISION NOT NULL,
  val_declarado DOUBLE PRECISION NOT NULL
);

-- Messages of the tracking unit during a document's trip cycle.
CREATE TABLE tracking_mensagem (
  tracking_mensagem_id INTEGER PRIMARY KEY,
  docto_transporte_id INTEGER NOT NULL REFERENCES docto_transporte,
  tipo_macro_id INTEGER NOT NULL REFERENCES tipo_macro,
  data_tracking TIMESTAMP(0) NOT NULL,
  odometro INTEGER NOT NULL
);

-- Measured trip cycle of a delivered document, in km and seconds:
-- to the sender (ate_rem), waiting before loading (ant_carga), loading,
-- after loading (pos_carga), sender to consignee (rem_dest), waiting before
-- unloading (ant_desc, of which janela_espera waited for the delivery
-- window), unloading, after unloading (pos_desc), return (retorno).
-- tempo_proc = carga + descarga; tempo_transporte = pos_carga + rem_dest +
-- ant_desc; tempo_operacao = the whole cycle.
CREATE TABLE resumo_ciclo (
  docto_transporte_id INTEGER PRIMARY KEY REFERENCES docto_transporte,
  km_total DOUBLE PRECISION NOT NULL,
  km_ate_rem DOUBLE PRECISION NOT NULL,
  km_rem_dest DOUBLE PRECISION NOT NULL,
  km_apos_dest DOUBLE PRECISION NOT NULL,
  tempo_operacao INTEGER NOT NULL,
  tempo_transporte INTEGER NOT NULL,
  tempo_ate_rem INTEGER NOT NULL,
  tempo_retorno INTEGER NOT NULL,
  tempo_proc INTEGER NOT NULL,
  tempo_carga INTEGER NOT NULL,
  tempo_descarga INTEGER NOT NULL,
  tempo_janela_espera INTEGER NOT NULL,
  tempo_ant_carga INTEGER NOT NULL,
  tempo_pos_carga INTEGER NOT NULL,
  tempo_ant_desc INTEGER NOT NULL,
  tempo_pos_desc INTEGER NOT NULL,
  tempo_rem_dest INTEGER NOT NULL
);

-- @@indexes: the generator loads the data between the tables above and the
-- indexes below, which are cheaper to build once than to keep up row by row.

CREATE INDEX ix_docto_transporte_pedido ON docto_transporte (pedido_id);
CREATE INDEX ix_docto_transporte_numero ON docto_transporte (num_docto_transporte);
CREATE INDEX ix_troca_docto_transp_pai ON troca_docto_transp (docto_transp_pai_id, docto_transp_filho_id);
CREATE INDEX ix_nota_fiscal_docto ON nota_fiscal (docto_transporte_id);
CREATE INDEX ix_nota_fiscal_numero ON nota_fiscal (num_nota_fiscal);
CREATE INDEX ix_tracking_mensagem_docto ON tracking_mensagem (docto_transporte_id, data_tracking);
CREATE INDEX ix_pedido_numero ON pedido (num_pedido);
CREATE INDEX ix_cliente_grupo ON cliente (grupo_cliente_id);
CREATE INDEX ix_grupo_usuario_particul_grupo ON GRUPO_USUARIO_PARTICUL (Grupo_Usuario_Id);
