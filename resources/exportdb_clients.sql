-- Export of clients only.
DELETE FROM submission;
DELETE FROM artwork;
DELETE FROM medium;
DELETE FROM artist;
DELETE FROM image;
