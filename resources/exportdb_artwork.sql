-- Export of artworks with their images.
DELETE FROM submission;
DELETE FROM client;
DELETE FROM medium;
DELETE FROM artist;
DELETE FROM image WHERE type IS NOT 0;
