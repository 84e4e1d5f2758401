-- Export of artworks and clients with the artworks' images; no submissions.
DELETE FROM submission;
DELETE FROM medium;
DELETE FROM artist;
DELETE FROM image WHERE type IS NOT 0;
