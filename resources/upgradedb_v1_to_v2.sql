-- Version 1 -> 2: artists get a table of their own, and the version row gains the export header.
CREATE TABLE IF NOT EXISTS artist (
    pk INTEGER PRIMARY KEY,
    name TEXT
);
ALTER TABLE version ADD COLUMN app_identifier INTEGER;
ALTER TABLE version ADD COLUMN app_version REAL;
ALTER TABLE version ADD COLUMN export_date REAL;
ALTER TABLE version ADD COLUMN num_artworks INTEGER;
ALTER TABLE version ADD COLUMN num_clients INTEGER;
ALTER TABLE version ADD COLUMN num_submissions INTEGER;
ALTER TABLE version ADD COLUMN num_mediums INTEGER;
ALTER TABLE version ADD COLUMN num_artists INTEGER;
ALTER TABLE version ADD COLUMN num_images INTEGER;
UPDATE version SET version_num = 2;
