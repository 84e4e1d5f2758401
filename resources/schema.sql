-- Catalogue schema, version 3. The template database is built from this text.
CREATE TABLE version (
    pk INTEGER PRIMARY KEY,
    version_num INTEGER,
    creation_date REAL,
    comments TEXT,
    app_identifier INTEGER,
    app_version REAL,
    export_date REAL,
    num_artworks INTEGER,
    num_clients INTEGER,
    num_submissions INTEGER,
    num_mediums INTEGER,
    num_artists INTEGER,
    num_images INTEGER
);
CREATE TABLE artwork (
    pk INTEGER PRIMARY KEY,
    title TEXT,
    artist TEXT,
    medium TEXT,
    photo1_key INTEGER,
    photo2_key INTEGER,
    sale_loan INTEGER,
    size TEXT,
    created REAL,
    price REAL,
    effort INTEGER,
    effort_units INTEGER,
    material_cost REAL,
    location TEXT,
    notes TEXT
);
CREATE TABLE client (
    pk INTEGER PRIMARY KEY,
    company TEXT,
    status INTEGER,
    deadline REAL,
    response_time INTEGER,
    response_time_units INTEGER,
    client_type INTEGER,
    commission REAL,
    contact TEXT,
    address TEXT,
    web TEXT,
    email TEXT,
    phone TEXT,
    fax TEXT,
    notes TEXT,
    payrate REAL
);
CREATE TABLE submission (
    pk INTEGER PRIMARY KEY,
    artwork_key INTEGER,
    client_key INTEGER,
    sent_date REAL,
    response INTEGER,
    response_date REAL,
    state INTEGER,
    income REAL,
    valid_due_date INTEGER,
    response_due_date REAL,
    exhibited INTEGER,
    notes TEXT,
    release_signed INTEGER,
    submission_type INTEGER
);
CREATE TABLE medium (
    pk INTEGER PRIMARY KEY,
    name TEXT
);
CREATE TABLE artist (
    pk INTEGER PRIMARY KEY,
    name TEXT
);
CREATE TABLE image (
    pk INTEGER PRIMARY KEY,
    type INTEGER,
    key INTEGER,
    tag INTEGER,
    caption TEXT,
    photo BLOB,
    thumbnail BLOB
);
