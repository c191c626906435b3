-- The stored procedures of the reference freight database, SQLite edition.
--
-- Each procedure is one SELECT kept in zeb_procedure; a call binds its
-- arguments, in order, to ?1 ... ?N (numbers as numbers, texts as texts,
-- NULL as null). Each body below is an SQL text literal, so a quote inside a
-- body is written twice (''S'' inside a body stands for 'S').
--
-- Date columns are always selected straight from their table, never through
-- an expression: a reader learns that a column is a date from its declared
-- type, which an expression would lose. In a UNION ALL the first SELECT
-- names and types the columns.
--
-- Document exchanges (troca_docto_transp): several procedures take the
-- document (?1), the exchange parent handed back by the exchange lookup (?2,
-- 0 or the document itself when there is none) and the exchange flag (?3,
-- 'S' or 'N'). When the flag is 'S' and ?2 is really the parent of an
-- exchange that ?1 belongs to (as a child or as the parent), the trip is the
-- parent's: vehicles, driver, arrival times, route, on-time verdict,
-- tracking and cycle measures come from the parent, and the invoices are
-- those of the whole exchange. Anything else means the document's own trip;
-- a parent that does not match is ignored rather than trusted.

-- SP_ZEB_CON_TROCA_DOCTO_TRANSP(document)
-- When the document took part in an exchange, as a child or as the parent:
-- one row per child of that exchange, retorno 0, children by identifier.
-- When it took part in none: one row, retorno 1, the document as its own
-- parent. An unknown document: no row.
-- The exchanges it took part in are the one it is a child of (one at most)
-- and the one it is the parent of, each counted once.
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_TROCA_DOCTO_TRANSP', '
WITH troca (pai_id) AS (
  SELECT docto_transp_pai_id FROM troca_docto_transp WHERE docto_transp_filho_id = ?1
  UNION ALL
  SELECT pai_id
    FROM (SELECT docto_transp_pai_id AS pai_id FROM troca_docto_transp
           WHERE docto_transp_pai_id = ?1 LIMIT 1)
   WHERE pai_id IS NOT (SELECT docto_transp_pai_id FROM troca_docto_transp
                         WHERE docto_transp_filho_id = ?1))
SELECT 0 AS retorno,
       t.docto_transp_pai_id AS DOCTO_TRANSP_PAI_ID,
       pai.num_docto_transporte AS num_docto_pai,
       t.docto_transp_filho_id AS DOCTO_TRANSP_FILHO_ID,
       filho.num_docto_transporte AS num_docto_filho
  FROM troca
  JOIN troca_docto_transp t ON t.docto_transp_pai_id = troca.pai_id
  JOIN docto_transporte pai ON pai.docto_transporte_id = t.docto_transp_pai_id
  JOIN docto_transporte filho ON filho.docto_transporte_id = t.docto_transp_filho_id
UNION ALL
SELECT 1, d.docto_transporte_id, d.num_docto_transporte, NULL, NULL
  FROM docto_transporte d
 WHERE d.docto_transporte_id = ?1
   AND NOT EXISTS (SELECT 1 FROM troca)
ORDER BY DOCTO_TRANSP_FILHO_ID
');

-- SP_ZEB_CON_Dados_Doc_Viagem11(document, exchange parent, exchange flag)
-- The document header. The order number, document number, product and
-- parties are the document's own; the trip columns (vehicles, driver,
-- arrival times, route, verdict) come from the trip document, the exchange
-- parent when the flag is 'S' (see above). rota_id is 0 without a route.
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_Dados_Doc_Viagem11', '
WITH troca (pai_id) AS (
  SELECT ?2
   WHERE ?3 = ''S''
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = ?2
                    AND (t.docto_transp_filho_id = ?1 OR t.docto_transp_pai_id = ?1))),
viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT pai_id FROM troca), ?1))
SELECT p.num_pedido_interno,
       d.num_docto_transporte,
       cv.num_frota AS CAVALO,
       cv.placa AS PLACA_CAVALO,
       cr.num_frota AS carreta,
       cr.placa AS PLACA_carreta,
       pr.descricao AS produto,
       mo.nome AS nome,
       v.data_chegada_cliente_efetiva AS Data_Chegada_Cliente_Efetiva,
       v.data_chegada_cliente_prevista AS data_Chegada_cliente_prevista,
       v.data_prevista_rastreador,
       rem.nome AS remetente,
       dst.nome AS destinatario,
       cli.nome AS cliente,
       coalesce(v.rota_id, 0) AS rota_id,
       v.flag_no_prazo
  FROM docto_transporte d
  JOIN viagem
  JOIN docto_transporte v ON v.docto_transporte_id = viagem.docto_transporte_id
  JOIN pedido p ON p.pedido_id = d.pedido_id
  JOIN produto pr ON pr.produto_id = d.produto_id
  JOIN parceiro rem ON rem.parceiro_id = d.remetente_id
  JOIN parceiro dst ON dst.parceiro_id = d.destinatario_id
  JOIN cliente c ON c.cliente_id = d.cliente_id
  JOIN parceiro cli ON cli.parceiro_id = c.parceiro_id
  LEFT JOIN cavalo cv ON cv.cavalo_id = v.cavalo_id
  LEFT JOIN carreta cr ON cr.carreta_id = v.carreta_id
  LEFT JOIN colaborador mo ON mo.colaborador_id = v.motorista_id
 WHERE d.docto_transporte_id = ?1
');

-- SP_ZEB_CON_NOTA_FISCAL_DOCTO3(document, exchange parent, exchange flag)
-- The invoices of the document; when the flag is 'S', those of the whole
-- exchange (parent and every child), which travel together on the parent's
-- trip. By document, then in the order they were registered. The exchange
-- holds the document, so its documents are the parent and its children,
-- each once (a document is the child of one parent at most).
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_NOTA_FISCAL_DOCTO3', '
WITH troca (pai_id) AS (
  SELECT ?2
   WHERE ?3 = ''S''
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = ?2
                    AND (t.docto_transp_filho_id = ?1 OR t.docto_transp_pai_id = ?1))),
doctos (docto_transporte_id) AS (
  SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM troca)
  UNION ALL
  SELECT pai_id FROM troca
   WHERE NOT EXISTS (SELECT 1 FROM troca_docto_transp t
                      WHERE t.docto_transp_filho_id = troca.pai_id
                        AND t.docto_transp_pai_id = troca.pai_id)
  UNION ALL
  SELECT t.docto_transp_filho_id
    FROM troca JOIN troca_docto_transp t ON t.docto_transp_pai_id = troca.pai_id)
SELECT n.num_nota_fiscal AS nota_fiscal,
       n.peso_real_kg,
       n.val_declarado
  FROM doctos
  JOIN nota_fiscal n ON n.docto_transporte_id = doctos.docto_transporte_id
 ORDER BY n.docto_transporte_id, n.nota_fiscal_id
');

-- SP_ZEB_CON_TRACKING_CICLO5(document, exchange parent, exchange flag)
-- Every tracking occurrence of the trip (the exchange parent's when the flag
-- is 'S'), in time order. Meant for carrier staff.
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_TRACKING_CICLO5', '
WITH troca (pai_id) AS (
  SELECT ?2
   WHERE ?3 = ''S''
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = ?2
                    AND (t.docto_transp_filho_id = ?1 OR t.docto_transp_pai_id = ?1))),
viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT pai_id FROM troca), ?1))
SELECT tm.desc_tipo_macro AS DESC_TIPO_MACRO,
       t.data_tracking,
       t.odometro
  FROM viagem
  JOIN tracking_mensagem t ON t.docto_transporte_id = viagem.docto_transporte_id
  JOIN tipo_macro tm ON tm.tipo_macro_id = t.tipo_macro_id
 ORDER BY t.data_tracking, t.tracking_mensagem_id
');

-- SP_ZEB_CON_TRACK_CICLO_CLI5(document, exchange parent, exchange flag)
-- The same list as a customer may see it: only the occurrence types marked
-- visible to customers (no rests, refuelling, detours or breakdowns).
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_TRACK_CICLO_CLI5', '
WITH troca (pai_id) AS (
  SELECT ?2
   WHERE ?3 = ''S''
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = ?2
                    AND (t.docto_transp_filho_id = ?1 OR t.docto_transp_pai_id = ?1))),
viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT pai_id FROM troca), ?1))
SELECT tm.desc_tipo_macro AS DESC_TIPO_MACRO,
       t.data_tracking,
       t.odometro
  FROM viagem
  JOIN tracking_mensagem t ON t.docto_transporte_id = viagem.docto_transporte_id
  JOIN tipo_macro tm ON tm.tipo_macro_id = t.tipo_macro_id
 WHERE tm.visivel_cliente = ''S''
 ORDER BY t.data_tracking, t.tracking_mensagem_id
');

-- SP_ZEB_CON_Resumo_Ciclo2(document, exchange flag)
-- The measured trip cycle, times in seconds. With the flag 'S' a child
-- document reports its exchange parent's cycle (the parent made the trip).
-- No row when the cycle was not measured (a trip still under way).
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_Resumo_Ciclo2', '
WITH viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT t.docto_transp_pai_id FROM troca_docto_transp t
                    WHERE ?2 = ''S'' AND t.docto_transp_filho_id = ?1), ?1))
SELECT r.km_total AS Km_total,
       r.km_ate_rem,
       r.km_rem_dest,
       r.km_apos_dest,
       r.tempo_operacao,
       r.tempo_transporte,
       r.tempo_ate_rem,
       r.tempo_retorno,
       r.tempo_proc AS Tempo_proc,
       r.tempo_carga,
       r.tempo_descarga,
       r.tempo_janela_espera,
       r.tempo_ant_carga,
       r.tempo_pos_carga,
       r.tempo_ant_desc,
       r.tempo_pos_desc,
       r.tempo_rem_dest
  FROM viagem
  JOIN resumo_ciclo r ON r.docto_transporte_id = viagem.docto_transporte_id
');

-- SP_ZEB_CON_Tempo_km_Rota(route)
-- Planned distance (km) and planned travel time (days) of a route.
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_Tempo_km_Rota', '
SELECT total_km,
       tempo_previsto
  FROM rota
 WHERE rota_id = ?1
');

-- SP_ZEB_CON_Docto_Transporte_ID6(order number, invoice number, document
--   number, company, customer, customer group, supplier, collaborator,
--   collaborator type)
-- The documents whose order number, invoice number and document number are
-- those typed; a number left out (NULL, an empty text or a 0 document number)
-- is not compared, and with none given nothing matches. The caller's
-- identifiers then narrow the list; a NULL or 0 identifier narrows nothing:
--   company: its documents only;
--   customer: the documents it pays for;
--   customer group: the documents of the group's customers;
--   supplier: the trips made with its tractor or trailer;
--   collaborator: by the scope of its type (the type given, else its own):
--     'E' every document of its company, 'P' those of its operating point,
--     'M' the trips it drove; an unknown collaborator sees nothing.
-- Oldest issue first.
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CON_Docto_Transporte_ID6', '
WITH candidato (docto_transporte_id) AS (
  SELECT d.docto_transporte_id
    FROM pedido p JOIN docto_transporte d ON d.pedido_id = p.pedido_id
   WHERE p.num_pedido = ?1
  UNION
  SELECT n.docto_transporte_id FROM nota_fiscal n WHERE n.num_nota_fiscal = ?2
  UNION
  SELECT d.docto_transporte_id FROM docto_transporte d WHERE d.num_docto_transporte = ?3),
escopo (empresa_id, ponto_operacao_id, escopo) AS (
  SELECT c.empresa_id, c.ponto_operacao_id, tt.escopo
    FROM colaborador c
    JOIN tab_tipo_colaborador tt
      ON tt.tab_tipo_colaborador_id = coalesce(nullif(?9, 0), c.tab_tipo_colaborador_id)
   WHERE c.colaborador_id = ?8)
SELECT d.docto_transporte_id AS Docto_Transporte_id,
       d.num_docto_transporte,
       d.data_emissao,
       d.data_chegada_cliente_efetiva AS Data_Chegada_Cliente_Efetiva,
       po.nome_fantasia,
       cli.nome
  FROM candidato
  JOIN docto_transporte d ON d.docto_transporte_id = candidato.docto_transporte_id
  JOIN pedido p ON p.pedido_id = d.pedido_id
  JOIN ponto_operacao po ON po.ponto_operacao_id = d.ponto_operacao_id
  JOIN cliente c ON c.cliente_id = d.cliente_id
  JOIN parceiro cli ON cli.parceiro_id = c.parceiro_id
  JOIN cavalo cv ON cv.cavalo_id = d.cavalo_id
  LEFT JOIN carreta cr ON cr.carreta_id = d.carreta_id
 WHERE (coalesce(?1, '''') = '''' OR p.num_pedido = ?1)
   AND (coalesce(?2, '''') = '''' OR EXISTS (
          SELECT 1 FROM nota_fiscal n
           WHERE n.docto_transporte_id = d.docto_transporte_id AND n.num_nota_fiscal = ?2))
   AND (coalesce(?3, 0) = 0 OR d.num_docto_transporte = ?3)
   AND (coalesce(?4, 0) = 0 OR d.empresa_id = ?4)
   AND (coalesce(?5, 0) = 0 OR d.cliente_id = ?5)
   AND (coalesce(?6, 0) = 0 OR c.grupo_cliente_id = ?6)
   AND (coalesce(?7, 0) = 0 OR cv.fornecedor_id = ?7 OR cr.fornecedor_id = ?7)
   AND (coalesce(?8, 0) = 0 OR EXISTS (
          SELECT 1 FROM escopo e
           WHERE e.empresa_id = d.empresa_id
             AND (e.escopo = ''E''
                  OR (e.escopo = ''P'' AND e.ponto_operacao_id = d.ponto_operacao_id)
                  OR (e.escopo = ''M'' AND d.motorista_id = ?8))))
 ORDER BY d.data_emissao, d.docto_transporte_id
');

-- SP_ZEB_CONS_pedido_PUBL(company as text, unused, order number, first issue
--   date, last issue date, consignee CGC, consignee CPF)
-- The company's documents of a published order number, narrowed by the
-- issue dates (both ends included, 'YYYY-MM-DD' with or without a time) and
-- by the consignee's tax numbers, which may be typed with or without
-- punctuation; a NULL filter is not applied. Every row carries contador, the
-- number of documents found, and retorno 1, then one document, oldest issue
-- first. Nothing found: one row with contador 0 and retorno 0. An unknown
-- company: no row at all. A NULL company, like the other filters, is not
-- applied: the order is looked up in every company.
INSERT INTO zeb_procedure (name, body) VALUES ('SP_ZEB_CONS_pedido_PUBL', '
WITH empresa_pedido (empresa_id) AS (
  SELECT empresa_id FROM empresa WHERE ?1 IS NULL OR empresa_id = CAST(?1 AS INTEGER)),
filtro (cgc, cpf) AS (
  SELECT nullif(replace(replace(replace(replace(?6, ''.'', ''''), ''-'', ''''), ''/'', ''''), '' '', ''''), ''''),
         nullif(replace(replace(replace(replace(?7, ''.'', ''''), ''-'', ''''), ''/'', ''''), '' '', ''''), '''')),
achado (docto_transporte_id) AS (
  SELECT d.docto_transporte_id
    FROM empresa_pedido e
    JOIN pedido p ON p.empresa_id = e.empresa_id AND p.num_pedido = ?3
    JOIN docto_transporte d ON d.pedido_id = p.pedido_id
    JOIN parceiro dst ON dst.parceiro_id = d.destinatario_id
    JOIN filtro f
   WHERE (?4 IS NULL OR d.data_emissao >= date(?4))
     AND (?5 IS NULL OR d.data_emissao <= date(?5))
     AND (f.cgc IS NULL OR dst.cgc = f.cgc)
     AND (f.cpf IS NULL OR dst.cpf = f.cpf))
SELECT (SELECT count(*) FROM achado) AS contador,
       1 AS retorno,
       d.docto_transporte_id AS Docto_Transporte_id,
       d.num_docto_transporte,
       d.data_emissao,
       d.data_entrega
  FROM achado
  JOIN docto_transporte d ON d.docto_transporte_id = achado.docto_transporte_id
UNION ALL
SELECT 0, 0, NULL, NULL, NULL, NULL
 WHERE EXISTS (SELECT 1 FROM empresa_pedido)
   AND NOT EXISTS (SELECT 1 FROM achado)
ORDER BY data_emissao, Docto_Transporte_id
');
