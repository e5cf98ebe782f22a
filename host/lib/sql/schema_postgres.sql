-- What a PostgreSQL host database holds beyond tables.sql: sp_GS_billGJ as a procedure of the
-- server, with the functions it is made of. It gives the same checks, answers and reasons as the
-- native procedure of SQLite (BillReconciliation.cpp). Each statement ends with ';' at the end of
-- a line; a function body between $$ lines is one statement.

-- The items of an id list in the form ",a,b,": empty items are skipped, an id listed twice counts
-- once, in the order of first mention. An item that is not a whole number of decimal digits
-- within 64 bits stops the reading: it is answered in bad_item.
create function gs_billgj_ids(list varchar, out ids bigint[], out bad_item varchar)
language plpgsql immutable as $$
declare
    item text;
begin
    ids := '{}';
    foreach item in array string_to_array(coalesce(list, ''), ',') loop
        continue when item = '';
        if item !~ '^[0-9]+$' then
            bad_item := item;
            return;
        end if;
        if item::numeric > 9223372036854775807 then
            bad_item := item;
            return;
        end if;
        if not item::bigint = any (ids) then
            ids := ids || item::bigint;
        end if;
    end loop;
end
$$;

-- A reason cut to at most `limit_units` UTF-16 code units, as the component measures text,
-- ending with '…' when cut; a character outside the basic plane counts two and is never split.
create function gs_billgj_limit(reason varchar, limit_units integer) returns varchar
language plpgsql immutable as $$
declare
    c text;
    units integer := 0;
    kept text := '';
begin
    foreach c in array regexp_split_to_array(coalesce(reason, ''), '') loop
        units := units + case when ascii(c) > 65535 then 2 else 1 end;
    end loop;
    if units <= limit_units then
        return reason;
    end if;
    units := 0;
    foreach c in array regexp_split_to_array(reason, '') loop
        exit when units + case when ascii(c) > 65535 then 2 else 1 end > limit_units - 1;
        units := units + case when ascii(c) > 65535 then 2 else 1 end;
        kept := kept || c;
    end loop;
    return kept || '…';
end
$$;

-- The documents of one call, sales invoices (kind 1) first, each side in the order of its list:
-- whether it exists, its number, customer and the reconciliation it belongs to (0 when none).
create function gs_billgj_documents(invoice_ids bigint[], outbound_ids bigint[])
returns table (kind integer, label varchar, id bigint, present boolean, billno varchar,
               custid bigint, custname varchar, hookid bigint)
language sql stable as $$
select l.kind, case l.kind when 1 then '销售发票' else '销售出库单' end::varchar, l.id,
       h.finterid is not null, coalesce(h.fbillno, '')::varchar, coalesce(h.fcustid, 0)::bigint,
       coalesce(c.fname, '')::varchar, coalesce(h.fhookinterid, 0)::bigint
from (select 1 as kind, u.id, u.n from unnest(invoice_ids) with ordinality as u(id, n)
      union all
      select 2, u.id, u.n from unnest(outbound_ids) with ordinality as u(id, n)) l
left join (select 1 as kind, finterid, fbillno, fcustid, fhookinterid from icsale
           union all
           select 2, finterid, fbillno, fcustid, fhookinterid from icstockbill) h
       on h.kind = l.kind and h.finterid = l.id
left join t_customer c on c.fitemid = h.fcustid
order by l.kind, l.n
$$;

-- Invoiced and delivered quantity per item, ordered by item number (in code unit order, as the
-- component compares text) and then item id; a side without the item has a null quantity.
create function gs_billgj_quantities(invoice_ids bigint[], outbound_ids bigint[])
returns table (itemid bigint, label varchar, invoiced double precision,
               delivered double precision)
language sql stable as $$
with invoiced as (
    select e.fitemid, i.fnumber, i.fname, sum(e.fqty) as qty
    from icsaleentry e left join t_icitem i on i.fitemid = e.fitemid
    where e.finterid = any (invoice_ids)
    group by e.fitemid, i.fnumber, i.fname),
delivered as (
    select e.fitemid, i.fnumber, i.fname, sum(e.fqty) as qty
    from icstockbillentry e left join t_icitem i on i.fitemid = e.fitemid
    where e.finterid = any (outbound_ids)
    group by e.fitemid, i.fnumber, i.fname)
select coalesce(v.fitemid, d.fitemid)::bigint,
       format('%s(%s)', coalesce(v.fnumber, d.fnumber), coalesce(v.fname, d.fname))::varchar,
       v.qty, d.qty
from invoiced v full join delivered d on d.fitemid = v.fitemid
order by coalesce(v.fnumber, d.fnumber, '') collate "C", coalesce(v.fitemid, d.fitemid)
$$;

-- A quantity as the component writes it: 15 significant digits (extra_float_digits is 0 inside
-- the procedure). Two quantities are the same when they agree to four decimals, rounded half
-- away from zero.
create function gs_billgj_same(a double precision, b double precision) returns boolean
language sql immutable as $$
select trunc(a * 10000::float8 + case when a < 0 then -0.5 else 0.5 end)
     = trunc(b * 10000::float8 + case when b < 0 then -0.5 else 0.5 end)
$$;

-- The reason to refuse the documents of one call, null when there is none: an id that names no
-- document, documents of more than one customer, a document already reconciled, or an item whose
-- invoiced quantity differs from its delivered quantity. Read after the documents are locked.
create function gs_billgj_refusal(invoice_ids bigint[], outbound_ids bigint[]) returns varchar
language plpgsql stable as $$
declare
    d record;
    first record;
    q record;
    gj_number varchar;
begin
    for d in select * from gs_billgj_documents(invoice_ids, outbound_ids) where not present loop
        if d.id = 0 and d.kind = 2 then
            return '有销售发票分录没有源销售出库单(内码0),钩稽不成功!';
        end if;
        return format('内码为%s的%s不存在,钩稽不成功!', d.id, d.label);
    end loop;
    select * into first from gs_billgj_documents(invoice_ids, outbound_ids) limit 1;
    for d in select * from gs_billgj_documents(invoice_ids, outbound_ids)
             where custid <> first.custid loop
        return format('单据不属于同一客户:%s属于%s,%s属于%s,钩稽不成功!',
                      first.billno, first.custname, d.billno, d.custname);
    end loop;
    for d in select * from gs_billgj_documents(invoice_ids, outbound_ids) where hookid <> 0 loop
        select fbillno into gj_number from t_gs_billgj where finterid = d.hookid;
        if coalesce(gj_number, '') = '' then
            gj_number := '内码' || d.hookid;
        end if;
        return format('%s%s已经钩稽(钩稽单%s),不能重复钩稽!', d.label, d.billno, gj_number);
    end loop;
    for q in select * from gs_billgj_quantities(invoice_ids, outbound_ids) loop
        if q.delivered is null then
            return format('物料%s只在销售发票中(数量%s),销售出库单中没有,钩稽不成功!',
                          q.label, q.invoiced::text);
        elsif q.invoiced is null then
            return format('物料%s只在销售出库单中(数量%s),销售发票中没有,钩稽不成功!',
                          q.label, q.delivered::text);
        elsif not gs_billgj_same(q.invoiced, q.delivered) then
            return format('物料%s的发票数量%s与出库数量%s不一致,钩稽不成功!',
                          q.label, q.invoiced::text, q.delivered::text);
        end if;
    end loop;
    return null;
end
$$;

-- Sets fhookinterid on documents of one kind that are still unreconciled; all must be.
create function gs_billgj_mark(kind integer, ids bigint[], reconciliation bigint) returns void
language plpgsql as $$
declare
    marked integer;
    tablename text := case kind when 1 then 'icsale' else 'icstockbill' end;
begin
    if kind = 1 then
        update icsale set fhookinterid = reconciliation
        where finterid = any (ids) and coalesce(fhookinterid, 0) = 0;
    else
        update icstockbill set fhookinterid = reconciliation
        where finterid = any (ids) and coalesce(fhookinterid, 0) = 0;
    end if;
    get diagnostics marked = row_count;
    if marked <> cardinality(ids) then
        raise exception '% were reconciled by someone else meanwhile', tablename;
    end if;
end
$$;

-- Records the reconciliation of the documents, numbered after the highest one so far (GJ000002
-- after GJ000001), with one entry per document, invoices first; answers its number. Numbering
-- and writing hold the table's write lock, so that two calls never take the same number.
create function gs_billgj_record(invoice_ids bigint[], outbound_ids bigint[], rtype bigint,
                                 userid bigint) returns varchar
language plpgsql as $$
declare
    new_id bigint;
    gj_number varchar;
    entry integer := 0;
    d record;
begin
    lock table t_gs_billgj in exclusive mode;
    select coalesce(max(finterid), 0) + 1 into new_id from t_gs_billgj;
    gj_number := 'GJ' || case when length(new_id::text) < 6 then lpad(new_id::text, 6, '0')
                           else new_id::text end;
    insert into t_gs_billgj(finterid, fbillno, fdate, fuserid, ftype, fcustid)
    select new_id, gj_number, to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS'), userid, rtype,
           custid
    from gs_billgj_documents(invoice_ids, '{}') limit 1;
    for d in select * from gs_billgj_documents(invoice_ids, outbound_ids) loop
        entry := entry + 1;
        insert into t_gs_billgjentry(finterid, fentryid, fbilltype, fbillinterid, fbillno)
        values (new_id, entry, d.kind, d.id, d.billno);
    end loop;
    perform gs_billgj_mark(1, invoice_ids, new_id);
    perform gs_billgj_mark(2, outbound_ids, new_id);
    return gj_number;
end
$$;

-- The host's reconciliation of sales invoices with sales outbound documents. interids1: the
-- outbound document ids ",a,b,"; interids2: the sales invoice ids, the same form. Answers 1 when
-- it has recorded the reconciliation and set fhookinterid on every document; -1 with a reason of
-- at most 100 characters, having written nothing, when it refuses. The documents are locked in
-- a fixed order (invoices, then outbound documents, each by ascending id) before they are
-- checked, so that of two calls on the same documents the second sees the first's work and two
-- calls never deadlock.
create procedure sp_gs_billgj(interids1 varchar, interids2 varchar, inttype bigint,
                              inout intreturnvalue bigint, inout strreturnvalue varchar,
                              loginuserid bigint)
language plpgsql
set extra_float_digits = 0
as $$
declare
    invoices record;
    outbound record;
    reason varchar;
begin
    select * into outbound from gs_billgj_ids(interids1);
    select * into invoices from gs_billgj_ids(interids2);
    if invoices.bad_item is not null then
        reason := format('销售发票内码列表中有无效的内码“%s”,钩稽不成功!',
                         gs_billgj_limit(invoices.bad_item, 20));
    elsif cardinality(invoices.ids) = 0 then
        reason := '没有要钩稽的销售发票,钩稽不成功!';
    elsif outbound.bad_item is not null then
        reason := format('销售出库单内码列表中有无效的内码“%s”,钩稽不成功!',
                         gs_billgj_limit(outbound.bad_item, 20));
    elsif cardinality(outbound.ids) = 0 then
        reason := '没有要钩稽的销售出库单,钩稽不成功!';
    end if;
    if reason is null then
        perform 1 from icsale where finterid = any (invoices.ids) order by finterid for update;
        perform 1 from icstockbill where finterid = any (outbound.ids) order by finterid
            for update;
        reason := gs_billgj_refusal(invoices.ids, outbound.ids);
    end if;
    if reason is not null then
        intreturnvalue := -1;
        strreturnvalue := gs_billgj_limit(reason, 100);
        return;
    end if;
    intreturnvalue := 1;
    strreturnvalue := gs_billgj_limit(
        '钩稽成功,钩稽单号' || gs_billgj_record(invoices.ids, outbound.ids, inttype, loginuserid),
        100);
end
$$;
