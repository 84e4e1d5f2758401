-- Version 2 -> 3: images name their owner and order themselves, and carry a caption.
-- Rows from before the upgrade are marked -2/-2 until the document maps them to their
-- artworks through artwork.photo1_key and artwork.photo2_key.
ALTER TABLE image ADD COLUMN type INTEGER;
ALTER TABLE image ADD COLUMN key INTEGER;
ALTER TABLE image ADD COLUMN tag INTEGER;
ALTER TABLE image ADD COLUMN caption TEXT;
UPDATE image SET type = -2, key = -2, tag = -1;
UPDATE version SET version_num = 3;
