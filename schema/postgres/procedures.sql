-- The stored procedures of the reference freight database, PostgreSQL
-- edition: one SQL function per procedure, returning a table with the
-- columns the component reads, spelt as it reads them. Each body gives the
-- same rows, in the same order, as the SQLite edition's body of the same
-- name (see schema/sqlite/procedures.sql for what each one answers).
--
-- The driver turns "EXEC name args" into SELECT * FROM name($1, ...), with
-- integers sent as bigint, other numbers as numeric, texts as text and NULL
-- untyped. So arguments that the component renders as numbers are numeric
-- parameters (bigint converts to numeric on its own) and the others text.
-- Function names are unquoted: the server folds them to lower case, and the
-- driver looks them up in lower case, so a command may write them in any
-- case. Every parameter has a default, so missing arguments are NULL, as in
-- the SQLite edition.
--
-- Identifiers are compared through zeb_id(), which gives the whole number a
-- numeric argument stands for (NULL for a fraction, which no identifier
-- equals), so that the comparison is integer with integer and uses the
-- indexes. SQLite orders NULL before every value; ORDER BY says NULLS
-- FIRST where a NULL can occur.

-- The bigint that `n` stands for; NULL when it has a fraction or is out of
-- range.
CREATE FUNCTION zeb_id(n numeric) RETURNS bigint
LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN n = trunc(n) AND n BETWEEN -9223372036854775808 AND 9223372036854775807
              THEN n::bigint END
$$;

-- CAST(t AS INTEGER) as SQLite does it: the leading whole number of the
-- text after any blanks (0 when there is none), NULL for NULL.
CREATE FUNCTION zeb_cast_integer(t text) RETURNS bigint
LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN t IS NULL THEN NULL
              WHEN digits IS NULL THEN 0
              ELSE least(greatest(digits::numeric, -9223372036854775808),
                         9223372036854775807)::bigint
         END
    FROM (SELECT substring(t FROM '^[ \t\r\n]*([+-]?[0-9]+)') AS digits) m
$$;

-- date(t) as SQLite reads the texts a caller sends: 'YYYY-MM-DD', possibly
-- followed by a time ('HH:MM', 'HH:MM:SS', with fraction, after a blank or
-- 'T'); a day up to 31 past the end of its month rolls over into the next
-- one. Anything else is NULL.
CREATE FUNCTION zeb_date(t text) RETURNS date
LANGUAGE sql IMMUTABLE AS $$
  SELECT make_date(parts[1]::int, parts[2]::int, 1) + (parts[3]::int - 1)
    FROM (SELECT regexp_match(t, '^[ \t\r\n]*([0-9]{4})-([0-9]{2})-([0-9]{2})'
                                 '(?:[ T][0-9]{2}:[0-9]{2}(?::[0-9]{2}(?:\.[0-9]+)?)?)?'
                                 '[ \t\r\n]*$') AS parts) m
   WHERE parts[1]::int >= 1 AND parts[2]::int BETWEEN 1 AND 12 AND parts[3]::int BETWEEN 1 AND 31
$$;

-- SP_ZEB_CON_TROCA_DOCTO_TRANSP(document)
CREATE FUNCTION sp_zeb_con_troca_docto_transp(p_docto numeric DEFAULT NULL)
RETURNS TABLE (retorno integer, "DOCTO_TRANSP_PAI_ID" integer, num_docto_pai integer,
               "DOCTO_TRANSP_FILHO_ID" integer, num_docto_filho integer)
LANGUAGE sql STABLE AS $$
WITH troca (pai_id) AS (
  SELECT docto_transp_pai_id FROM troca_docto_transp WHERE docto_transp_filho_id = zeb_id(p_docto)
  UNION ALL
  SELECT pai_id
    FROM (SELECT docto_transp_pai_id AS pai_id FROM troca_docto_transp
           WHERE docto_transp_pai_id = zeb_id(p_docto) LIMIT 1) p
   WHERE pai_id IS DISTINCT FROM (SELECT docto_transp_pai_id FROM troca_docto_transp
                                   WHERE docto_transp_filho_id = zeb_id(p_docto)))
SELECT 0,
       t.docto_transp_pai_id,
       pai.num_docto_transporte,
       t.docto_transp_filho_id,
       filho.num_docto_transporte
  FROM troca
  JOIN troca_docto_transp t ON t.docto_transp_pai_id = troca.pai_id
  JOIN docto_transporte pai ON pai.docto_transporte_id = t.docto_transp_pai_id
  JOIN docto_transporte filho ON filho.docto_transporte_id = t.docto_transp_filho_id
UNION ALL
SELECT 1, d.docto_transporte_id, d.num_docto_transporte, NULL, NULL
  FROM docto_transporte d
 WHERE d.docto_transporte_id = zeb_id(p_docto)
   AND NOT EXISTS (SELECT 1 FROM troca)
ORDER BY 4 NULLS FIRST
$$;

-- SP_ZEB_CON_Dados_Doc_Viagem11(document, exchange parent, exchange flag)
CREATE FUNCTION sp_zeb_con_dados_doc_viagem11(p_docto numeric DEFAULT NULL,
                                              p_pai numeric DEFAULT NULL,
                                              p_flag text DEFAULT NULL)
RETURNS TABLE (num_pedido_interno varchar, num_docto_transporte integer, "CAVALO" varchar,
               "PLACA_CAVALO" char(7), carreta varchar, "PLACA_carreta" char(7),
               produto varchar, nome varchar, "Data_Chegada_Cliente_Efetiva" timestamp(0),
               "data_Chegada_cliente_prevista" timestamp(0),
               data_prevista_rastreador timestamp(0), remetente varchar,
               destinatario varchar, cliente varchar, rota_id integer, flag_no_prazo char(1))
LANGUAGE sql STABLE AS $$
WITH troca (pai_id) AS (
  SELECT zeb_id(p_pai)
   WHERE p_flag = 'S'
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = zeb_id(p_pai)
                    AND (t.docto_transp_filho_id = zeb_id(p_docto)
                         OR t.docto_transp_pai_id = zeb_id(p_docto)))),
viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT pai_id FROM troca), zeb_id(p_docto)))
SELECT p.num_pedido_interno,
       d.num_docto_transporte,
       cv.num_frota,
       cv.placa,
       cr.num_frota,
       cr.placa,
       pr.descricao,
       mo.nome,
       v.data_chegada_cliente_efetiva,
       v.data_chegada_cliente_prevista,
       v.data_prevista_rastreador,
       rem.nome,
       dst.nome,
       cli.nome,
       coalesce(v.rota_id, 0),
       v.flag_no_prazo
  FROM docto_transporte d
  CROSS JOIN viagem
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
 WHERE d.docto_transporte_id = zeb_id(p_docto)
$$;

-- SP_ZEB_CON_NOTA_FISCAL_DOCTO3(document, exchange parent, exchange flag)
CREATE FUNCTION sp_zeb_con_nota_fiscal_docto3(p_docto numeric DEFAULT NULL,
                                              p_pai numeric DEFAULT NULL,
                                              p_flag text DEFAULT NULL)
RETURNS TABLE (nota_fiscal varchar, peso_real_kg double precision,
               val_declarado double precision)
LANGUAGE sql STABLE AS $$
WITH troca (pai_id) AS (
  SELECT zeb_id(p_pai)
   WHERE p_flag = 'S'
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = zeb_id(p_pai)
                    AND (t.docto_transp_filho_id = zeb_id(p_docto)
                         OR t.docto_transp_pai_id = zeb_id(p_docto)))),
doctos (docto_transporte_id) AS (
  SELECT zeb_id(p_docto) WHERE NOT EXISTS (SELECT 1 FROM troca)
  UNION ALL
  SELECT pai_id FROM troca
   WHERE NOT EXISTS (SELECT 1 FROM troca_docto_transp t
                      WHERE t.docto_transp_filho_id = troca.pai_id
                        AND t.docto_transp_pai_id = troca.pai_id)
  UNION ALL
  SELECT t.docto_transp_filho_id
    FROM troca JOIN troca_docto_transp t ON t.docto_transp_pai_id = troca.pai_id)
SELECT n.num_nota_fiscal,
       n.peso_real_kg,
       n.val_declarado
  FROM doctos
  JOIN nota_fiscal n ON n.docto_transporte_id = doctos.docto_transporte_id
 ORDER BY n.docto_transporte_id, n.nota_fiscal_id
$$;

-- SP_ZEB_CON_TRACKING_CICLO5(document, exchange parent, exchange flag)
CREATE FUNCTION sp_zeb_con_tracking_ciclo5(p_docto numeric DEFAULT NULL,
                                           p_pai numeric DEFAULT NULL,
                                           p_flag text DEFAULT NULL)
RETURNS TABLE ("DESC_TIPO_MACRO" varchar, data_tracking timestamp(0), odometro integer)
LANGUAGE sql STABLE AS $$
WITH troca (pai_id) AS (
  SELECT zeb_id(p_pai)
   WHERE p_flag = 'S'
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = zeb_id(p_pai)
                    AND (t.docto_transp_filho_id = zeb_id(p_docto)
                         OR t.docto_transp_pai_id = zeb_id(p_docto)))),
viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT pai_id FROM troca), zeb_id(p_docto)))
SELECT tm.desc_tipo_macro,
       t.data_tracking,
       t.odometro
  FROM viagem
  JOIN tracking_mensagem t ON t.docto_transporte_id = viagem.docto_transporte_id
  JOIN tipo_macro tm ON tm.tipo_macro_id = t.tipo_macro_id
 ORDER BY t.data_tracking, t.tracking_mensagem_id
$$;

-- SP_ZEB_CON_TRACK_CICLO_CLI5(document, exchange parent, exchange flag)
CREATE FUNCTION sp_zeb_con_track_ciclo_cli5(p_docto numeric DEFAULT NULL,
                                            p_pai numeric DEFAULT NULL,
                                            p_flag text DEFAULT NULL)
RETURNS TABLE ("DESC_TIPO_MACRO" varchar, data_tracking timestamp(0), odometro integer)
LANGUAGE sql STABLE AS $$
WITH troca (pai_id) AS (
  SELECT zeb_id(p_pai)
   WHERE p_flag = 'S'
     AND EXISTS (SELECT 1 FROM troca_docto_transp t
                  WHERE t.docto_transp_pai_id = zeb_id(p_pai)
                    AND (t.docto_transp_filho_id = zeb_id(p_docto)
                         OR t.docto_transp_pai_id = zeb_id(p_docto)))),
viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT pai_id FROM troca), zeb_id(p_docto)))
SELECT tm.desc_tipo_macro,
       t.data_tracking,
       t.odometro
  FROM viagem
  JOIN tracking_mensagem t ON t.docto_transporte_id = viagem.docto_transporte_id
  JOIN tipo_macro tm ON tm.tipo_macro_id = t.tipo_macro_id
 WHERE tm.visivel_cliente = 'S'
 ORDER BY t.data_tracking, t.tracking_mensagem_id
$$;

-- SP_ZEB_CON_Resumo_Ciclo2(document, exchange flag)
CREATE FUNCTION sp_zeb_con_resumo_ciclo2(p_docto numeric DEFAULT NULL,
                                         p_flag text DEFAULT NULL)
RETURNS TABLE ("Km_total" double precision, km_ate_rem double precision,
               km_rem_dest double precision, km_apos_dest double precision,
               tempo_operacao integer, tempo_transporte integer, tempo_ate_rem integer,
               tempo_retorno integer, "Tempo_proc" integer, tempo_carga integer,
               tempo_descarga integer, tempo_janela_espera integer, tempo_ant_carga integer,
               tempo_pos_carga integer, tempo_ant_desc integer, tempo_pos_desc integer,
               tempo_rem_dest integer)
LANGUAGE sql STABLE AS $$
WITH viagem (docto_transporte_id) AS (
  SELECT coalesce((SELECT t.docto_transp_pai_id FROM troca_docto_transp t
                    WHERE p_flag = 'S' AND t.docto_transp_filho_id = zeb_id(p_docto)),
                  zeb_id(p_docto)))
SELECT r.km_total,
       r.km_ate_rem,
       r.km_rem_dest,
       r.km_apos_dest,
       r.tempo_operacao,
       r.tempo_transporte,
       r.tempo_ate_rem,
       r.tempo_retorno,
       r.tempo_proc,
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
$$;

-- SP_ZEB_CON_Tempo_km_Rota(route)
CREATE FUNCTION sp_zeb_con_tempo_km_rota(p_rota numeric DEFAULT NULL)
RETURNS TABLE (total_km double precision, tempo_previsto double precision)
LANGUAGE sql STABLE AS $$
SELECT total_km,
       tempo_previsto
  FROM rota
 WHERE rota_id = zeb_id(p_rota)
$$;

-- SP_ZEB_CON_Docto_Transporte_ID6(order number, invoice number, document
--   number, company, customer, customer group, supplier, collaborator,
--   collaborator type)
CREATE FUNCTION sp_zeb_con_docto_transporte_id6(p_pedido text DEFAULT NULL,
                                                p_nota text DEFAULT NULL,
                                                p_docto numeric DEFAULT NULL,
                                                p_empresa numeric DEFAULT NULL,
                                                p_cliente numeric DEFAULT NULL,
                                                p_grupo_cliente numeric DEFAULT NULL,
                                                p_fornecedor numeric DEFAULT NULL,
                                                p_colaborador numeric DEFAULT NULL,
                                                p_tipo_colaborador numeric DEFAULT NULL)
RETURNS TABLE ("Docto_Transporte_id" integer, num_docto_transporte integer, data_emissao date,
               "Data_Chegada_Cliente_Efetiva" timestamp(0), nome_fantasia varchar,
               nome varchar)
LANGUAGE sql STABLE AS $$
WITH candidato (docto_transporte_id) AS (
  SELECT d.docto_transporte_id
    FROM pedido p JOIN docto_transporte d ON d.pedido_id = p.pedido_id
   WHERE p.num_pedido = p_pedido
  UNION
  SELECT n.docto_transporte_id FROM nota_fiscal n WHERE n.num_nota_fiscal = p_nota
  UNION
  SELECT d.docto_transporte_id FROM docto_transporte d
   WHERE d.num_docto_transporte = zeb_id(p_docto)),
escopo (empresa_id, ponto_operacao_id, escopo) AS (
  SELECT c.empresa_id, c.ponto_operacao_id, tt.escopo
    FROM colaborador c
    JOIN tab_tipo_colaborador tt
      ON tt.tab_tipo_colaborador_id = coalesce(nullif(p_tipo_colaborador, 0),
                                                c.tab_tipo_colaborador_id)
   WHERE c.colaborador_id = zeb_id(p_colaborador))
SELECT d.docto_transporte_id,
       d.num_docto_transporte,
       d.data_emissao,
       d.data_chegada_cliente_efetiva,
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
 WHERE (coalesce(p_pedido, '') = '' OR p.num_pedido = p_pedido)
   AND (coalesce(p_nota, '') = '' OR EXISTS (
          SELECT 1 FROM nota_fiscal n
           WHERE n.docto_transporte_id = d.docto_transporte_id AND n.num_nota_fiscal = p_nota))
   AND (coalesce(p_docto, 0) = 0 OR d.num_docto_transporte = zeb_id(p_docto))
   AND (coalesce(p_empresa, 0) = 0 OR d.empresa_id = zeb_id(p_empresa))
   AND (coalesce(p_cliente, 0) = 0 OR d.cliente_id = zeb_id(p_cliente))
   AND (coalesce(p_grupo_cliente, 0) = 0 OR c.grupo_cliente_id = zeb_id(p_grupo_cliente))
   AND (coalesce(p_fornecedor, 0) = 0 OR cv.fornecedor_id = zeb_id(p_fornecedor)
        OR cr.fornecedor_id = zeb_id(p_fornecedor))
   AND (coalesce(p_colaborador, 0) = 0 OR EXISTS (
          SELECT 1 FROM escopo e
           WHERE e.empresa_id = d.empresa_id
             AND (e.escopo = 'E'
                  OR (e.escopo = 'P' AND e.ponto_operacao_id = d.ponto_operacao_id)
                  OR (e.escopo = 'M' AND d.motorista_id = zeb_id(p_colaborador)))))
 ORDER BY d.data_emissao, d.docto_transporte_id
$$;

-- SP_ZEB_CONS_pedido_PUBL(company as text, unused, order number, first issue
--   date, last issue date, consignee CGC, consignee CPF)
CREATE FUNCTION sp_zeb_cons_pedido_publ(p_empresa text DEFAULT NULL,
                                        p_nao_usado text DEFAULT NULL,
                                        p_pedido text DEFAULT NULL,
                                        p_data_ini text DEFAULT NULL,
                                        p_data_fim text DEFAULT NULL,
                                        p_cgc text DEFAULT NULL,
                                        p_cpf text DEFAULT NULL)
RETURNS TABLE (contador integer, retorno integer, "Docto_Transporte_id" integer,
               num_docto_transporte integer, data_emissao date, data_entrega timestamp(0))
LANGUAGE sql STABLE AS $$
WITH empresa_pedido (empresa_id) AS (
  SELECT empresa_id FROM empresa
   WHERE p_empresa IS NULL OR empresa_id = zeb_cast_integer(p_empresa)),
filtro (cgc, cpf) AS (
  SELECT nullif(replace(replace(replace(replace(p_cgc, '.', ''), '-', ''), '/', ''), ' ', ''), ''),
         nullif(replace(replace(replace(replace(p_cpf, '.', ''), '-', ''), '/', ''), ' ', ''), '')),
achado (docto_transporte_id) AS (
  SELECT d.docto_transporte_id
    FROM empresa_pedido e
    JOIN pedido p ON p.empresa_id = e.empresa_id AND p.num_pedido = p_pedido
    JOIN docto_transporte d ON d.pedido_id = p.pedido_id
    JOIN parceiro dst ON dst.parceiro_id = d.destinatario_id
    CROSS JOIN filtro f
   WHERE (p_data_ini IS NULL OR d.data_emissao >= zeb_date(p_data_ini))
     AND (p_data_fim IS NULL OR d.data_emissao <= zeb_date(p_data_fim))
     AND (f.cgc IS NULL OR dst.cgc = f.cgc)
     AND (f.cpf IS NULL OR dst.cpf = f.cpf))
SELECT (SELECT count(*) FROM achado)::integer,
       1,
       d.docto_transporte_id,
       d.num_docto_transporte,
       d.data_emissao,
       d.data_entrega
  FROM achado
  JOIN docto_transporte d ON d.docto_transporte_id = achado.docto_transporte_id
UNION ALL
SELECT 0, 0, NULL, NULL, NULL, NULL
 WHERE EXISTS (SELECT 1 FROM empresa_pedido)
   AND NOT EXISTS (SELECT 1 FROM achado)
ORDER BY 5 NULLS FIRST, 3 NULLS FIRST
$$;
