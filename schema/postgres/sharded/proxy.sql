-- The proxy database of a sharded layout: one function per procedure, with
-- the name, parameters and columns of schema/postgres/procedures.sql, each
-- routing its call through PL/Proxy to the cluster zeb_shards (one
-- partition per shard, created by the loader with the shards' connection
-- strings).
--
-- Documents live on the shard of their trip key: the exchange parent's id
-- for an exchanged child, the document's own id otherwise, so that a trip's
-- parent, children, invoices, tracking and cycle are always on one shard.
-- Calls keyed by a document run on that shard (RUN ON); lookups by a typed
-- number run on every shard (RUN ON ALL) and are merged here into the
-- rows, and the order, that one database holding every shard's rows gives.
-- Reference tables (companies, parties, routes, occurrence types, user
-- groups and their grants...) are on every shard and here, where the flags
-- operation reads them with its SELECT.

-- The shard of a document, before PL/Proxy keeps its low bits (the shard
-- count is a power of two): a multiplicative hash of the trip key, so that
-- consecutive documents spread over the shards. The loader places rows with
-- the same formula (schema/shard_placement.cpp). An argument that is no
-- document id goes to shard 0, where, as everywhere, nothing matches it.
CREATE FUNCTION zeb_shard(p_docto numeric) RETURNS integer
LANGUAGE sql STABLE AS $$
  SELECT coalesce((((coalesce(t.docto_transp_pai_id, k.id) * 2654435761) & 4294967295) >> 16)::integer, 0)
    FROM (SELECT CASE WHEN p_docto = trunc(p_docto) AND p_docto BETWEEN -2147483648 AND 2147483647
                      THEN p_docto::bigint END AS id) k
    LEFT JOIN zeb_troca_viagem t ON t.docto_transp_filho_id = k.id
$$;

CREATE FUNCTION sp_zeb_con_troca_docto_transp(p_docto numeric DEFAULT NULL)
RETURNS TABLE (retorno integer, "DOCTO_TRANSP_PAI_ID" integer, num_docto_pai integer,
               "DOCTO_TRANSP_FILHO_ID" integer, num_docto_filho integer)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON zeb_shard(p_docto);
$$;

CREATE FUNCTION sp_zeb_con_dados_doc_viagem11(p_docto numeric DEFAULT NULL,
                                              p_pai numeric DEFAULT NULL,
                                              p_flag text DEFAULT NULL)
RETURNS TABLE (num_pedido_interno varchar, num_docto_transporte integer, "CAVALO" varchar,
               "PLACA_CAVALO" char(7), carreta varchar, "PLACA_carreta" char(7),
               produto varchar, nome varchar, "Data_Chegada_Cliente_Efetiva" timestamp(0),
               "data_Chegada_cliente_prevista" timestamp(0),
               data_prevista_rastreador timestamp(0), remetente varchar,
               destinatario varchar, cliente varchar, rota_id integer, flag_no_prazo char(1))
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON zeb_shard(p_docto);
$$;

CREATE FUNCTION sp_zeb_con_nota_fiscal_docto3(p_docto numeric DEFAULT NULL,
                                              p_pai numeric DEFAULT NULL,
                                              p_flag text DEFAULT NULL)
RETURNS TABLE (nota_fiscal varchar, peso_real_kg double precision,
               val_declarado double precision)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON zeb_shard(p_docto);
$$;

CREATE FUNCTION sp_zeb_con_tracking_ciclo5(p_docto numeric DEFAULT NULL,
                                           p_pai numeric DEFAULT NULL,
                                           p_flag text DEFAULT NULL)
RETURNS TABLE ("DESC_TIPO_MACRO" varchar, data_tracking timestamp(0), odometro integer)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON zeb_shard(p_docto);
$$;

CREATE FUNCTION sp_zeb_con_track_ciclo_cli5(p_docto numeric DEFAULT NULL,
                                            p_pai numeric DEFAULT NULL,
                                            p_flag text DEFAULT NULL)
RETURNS TABLE ("DESC_TIPO_MACRO" varchar, data_tracking timestamp(0), odometro integer)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON zeb_shard(p_docto);
$$;

CREATE FUNCTION sp_zeb_con_resumo_ciclo2(p_docto numeric DEFAULT NULL,
                                         p_flag text DEFAULT NULL)
RETURNS TABLE ("Km_total" double precision, km_ate_rem double precision,
               km_rem_dest double precision, km_apos_dest double precision,
               tempo_operacao integer, tempo_transporte integer, tempo_ate_rem integer,
               tempo_retorno integer, "Tempo_proc" integer, tempo_carga integer,
               tempo_descarga integer, tempo_janela_espera integer, tempo_ant_carga integer,
               tempo_pos_carga integer, tempo_ant_desc integer, tempo_pos_desc integer,
               tempo_rem_dest integer)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON zeb_shard(p_docto);
$$;

-- Routes are on every shard: any one answers.
CREATE FUNCTION sp_zeb_con_tempo_km_rota(p_rota numeric DEFAULT NULL)
RETURNS TABLE (total_km double precision, tempo_previsto double precision)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON ANY;
$$;

-- Every shard's matches of a typed number; each document is on one shard,
-- so the union holds no row twice, and sorting it as one database does
-- gives that database's answer.
CREATE FUNCTION zeb_shards_docto_transporte_id6(p_pedido text, p_nota text, p_docto numeric,
                                                p_empresa numeric, p_cliente numeric,
                                                p_grupo_cliente numeric, p_fornecedor numeric,
                                                p_colaborador numeric,
                                                p_tipo_colaborador numeric)
RETURNS TABLE ("Docto_Transporte_id" integer, num_docto_transporte integer, data_emissao date,
               "Data_Chegada_Cliente_Efetiva" timestamp(0), nome_fantasia varchar,
               nome varchar)
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON ALL;
  TARGET sp_zeb_con_docto_transporte_id6;
$$;

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
SELECT *
  FROM zeb_shards_docto_transporte_id6(p_pedido, p_nota, p_docto, p_empresa, p_cliente,
                                       p_grupo_cliente, p_fornecedor, p_colaborador,
                                       p_tipo_colaborador) r
 ORDER BY r.data_emissao, r."Docto_Transporte_id"
$$;

CREATE FUNCTION zeb_shards_pedido_publ(p_empresa text, p_nao_usado text, p_pedido text,
                                       p_data_ini text, p_data_fim text, p_cgc text,
                                       p_cpf text)
RETURNS TABLE (contador integer, retorno integer, "Docto_Transporte_id" integer,
               num_docto_transporte integer, data_emissao date, data_entrega timestamp(0))
LANGUAGE plproxy AS $$
  CLUSTER 'zeb_shards';
  RUN ON ALL;
  TARGET sp_zeb_cons_pedido_publ;
$$;

-- An order's documents may be on several shards: each shard counts its
-- own, so the count is made again over all of them, and the row that says
-- "nothing found" (which a shard gives whenever it found nothing of a
-- company that exists) stays only when no shard found anything.
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
WITH resposta AS (
  SELECT * FROM zeb_shards_pedido_publ(p_empresa, p_nao_usado, p_pedido, p_data_ini,
                                       p_data_fim, p_cgc, p_cpf)),
achado AS (SELECT * FROM resposta WHERE resposta.retorno = 1)
SELECT (SELECT count(*) FROM achado)::integer,
       1,
       a."Docto_Transporte_id",
       a.num_docto_transporte,
       a.data_emissao,
       a.data_entrega
  FROM achado a
UNION ALL
SELECT 0, 0, NULL, NULL, NULL, NULL
 WHERE EXISTS (SELECT 1 FROM resposta WHERE resposta.retorno = 0)
   AND NOT EXISTS (SELECT 1 FROM achado)
ORDER BY 5 NULLS FIRST, 3 NULLS FIRST
$$;
