-- The proxy's own table: the exchange parent of every exchanged child
-- document, so that a call naming a child is routed to its parent's shard
-- without asking the shards first. The loader fills it from the same rows
-- as the shards' troca_docto_transp; it changes only when an exchange does.
CREATE TABLE zeb_troca_viagem (
  docto_transp_filho_id INTEGER PRIMARY KEY,
  docto_transp_pai_id INTEGER NOT NULL
);
