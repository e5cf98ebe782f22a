-- The host database of the stand-alone purchase-sales-inventory host: its tables and views, for
-- SQLite and PostgreSQL alike. Written in the common part of SQL: integers, varchar(n), double
-- precision for quantities and amounts (read back as the same floating-point number by both
-- servers), dates as text 'yyyy-MM-dd', date-times as text 'yyyy-MM-dd hh:mm:ss'. Names are
-- unquoted, so that PostgreSQL folds them to lower case and every unquoted spelling of them
-- (t_GS_tableInfo, fFieldname, vGSaleFP) resolves to the same object. Each statement ends with
-- ';' at the end of a line. What a server holds beyond this is in schema_<server>.sql.

-- Customers; fcustomeridnumber is the customer's unified social credit code.
create table t_customer (
    fitemid integer primary key,
    fnumber varchar(30) not null,
    fname varchar(100) not null,
    fcustomeridnumber varchar(30) not null
);

-- Items (materials and goods).
create table t_icitem (
    fitemid integer primary key,
    fnumber varchar(30) not null,
    fname varchar(100) not null,
    fmodel varchar(100) not null,
    funit varchar(20) not null,
    fprice double precision not null
);

-- Sales invoices: header. fstatus 1 = audited; fhookinterid = the reconciliation it belongs to
-- (NULL or 0 = not reconciled).
create table icsale (
    finterid integer primary key,
    fbillno varchar(30) not null unique,
    fdate varchar(10) not null,
    fcustid integer not null references t_customer (fitemid),
    fstatus integer,
    fhookinterid integer
);

-- Sales invoices: lines. fsinterid = the outbound document the line was invoiced from (NULL when
-- the line has none).
create table icsaleentry (
    finterid integer not null references icsale (finterid),
    fentryid integer not null,
    fitemid integer not null references t_icitem (fitemid),
    fqty double precision not null,
    fprice double precision not null,
    famount double precision not null,
    ftaxrate double precision not null,
    ftaxamount double precision not null,
    fallamount double precision not null,
    fsinterid integer,
    primary key (finterid, fentryid)
);

create index ix_icsaleentry_source on icsaleentry (fsinterid);

-- Sales outbound documents: header, with the same status and reconciliation columns.
create table icstockbill (
    finterid integer primary key,
    fbillno varchar(30) not null unique,
    fdate varchar(10) not null,
    fcustid integer not null references t_customer (fitemid),
    fstatus integer,
    fhookinterid integer
);

create index ix_icstockbill_customer on icstockbill (fcustid);

-- Sales outbound documents: lines.
create table icstockbillentry (
    finterid integer not null references icstockbill (finterid),
    fentryid integer not null,
    fitemid integer not null references t_icitem (fitemid),
    fqty double precision not null,
    fprice double precision not null,
    famount double precision not null,
    ftaxrate double precision not null,
    ftaxamount double precision not null,
    fallamount double precision not null,
    primary key (finterid, fentryid)
);

-- Reconciliations of sales invoices with sales outbound documents: header.
create table t_GS_billGJ (
    finterid integer primary key,
    fbillno varchar(20) not null unique,
    fdate varchar(19) not null,
    fuserid integer,
    ftype integer,
    fcustid integer references t_customer (fitemid)
);

-- Reconciliations: the documents of each. fbilltype 1 = sales invoice, 2 = sales outbound
-- document; fbillinterid = that document's finterid.
create table t_GS_billGJEntry (
    finterid integer not null references t_GS_billGJ (finterid),
    fentryid integer not null,
    fbilltype integer not null,
    fbillinterid integer not null,
    fbillno varchar(30) not null,
    primary key (finterid, fentryid)
);

-- Column configuration of the document grids: ftypeid 100 = sales invoice lines, 101 = sales
-- outbound lines; fentryid numbered 1, 2, 3 ... per type.
create table tblFindInfoEntry (
    ftypeid integer not null,
    fentryid integer not null,
    fFieldname varchar(50) not null,
    fTitleName varchar(50) not null,
    fAlign varchar(10) not null,
    fDataFormat varchar(30) not null,
    fIsMerge integer not null,
    fIsSum integer not null,
    primary key (ftypeid, fentryid)
);

-- Stored column widths of the reconciliation window's grids.
create table t_GS_tableinfo (
    ftablename varchar(50) not null,
    fwidth integer not null,
    fsequence integer not null,
    ftype integer not null
);

-- Sales invoice lines as the reconciliation window lists them.
create view vGSaleFP as
select e.finterid, e.fentryid, h.fbillno, e.fentryid as forderid,
       c.fcustomeridnumber, h.fstatus, h.fhookinterid, h.fdate,
       c.fnumber as fcustnumber, c.fname as fcustname,
       i.fnumber as fitemnumber, i.fname as fitemname, i.fmodel, i.funit,
       e.fqty, e.fprice, e.famount, e.ftaxrate, e.ftaxamount, e.fallamount, e.fsinterid
from icsaleentry e
join icsale h on h.finterid = e.finterid
join t_customer c on c.fitemid = h.fcustid
join t_icitem i on i.fitemid = e.fitemid;

-- Sales outbound document lines as the reconciliation window lists them.
create view vGproductOut as
select e.finterid, e.fentryid, h.fbillno, e.fentryid as forderid,
       c.fcustomeridnumber, h.fstatus, h.fhookinterid, h.fdate,
       c.fnumber as fcustnumber, c.fname as fcustname,
       i.fnumber as fitemnumber, i.fname as fitemname, i.fmodel, i.funit,
       e.fqty, e.fprice, e.famount, e.ftaxrate, e.ftaxamount, e.fallamount
from icstockbillentry e
join icstockbill h on h.finterid = e.finterid
join t_customer c on c.fitemid = h.fcustid
join t_icitem i on i.fitemid = e.fitemid;

-- Sales outbound documents, one row each, for the document finder; a filter that begins with
-- " and " can follow "where 1=1". Document amounts are rounded to cents (PostgreSQL rounds to
-- decimals only as numeric).
create view vGproductOutBill as
select h.finterid, h.fbillno, h.fdate, c.fnumber as fcustnumber, c.fname as fcustname,
       c.fcustomeridnumber, h.fstatus, h.fhookinterid,
       (select cast(round(cast(sum(e.famount) as numeric), 2) as double precision)
        from icstockbillentry e where e.finterid = h.finterid) as famount,
       (select cast(round(cast(sum(e.fallamount) as numeric), 2) as double precision)
        from icstockbillentry e where e.finterid = h.finterid) as fallamount,
       (select count(*) from icstockbillentry e where e.finterid = h.finterid) as flinecount
from icstockbill h
join t_customer c on c.fitemid = h.fcustid;
