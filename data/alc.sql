-- The reference table of water–ethanol mixtures at 20 °C and the procedure that reads it.

create table alc (
  p_ob  double precision not null primary key, -- strength, % vol
  p_mas double precision not null,             -- strength, % mass
  pl    double precision not null              -- density, g/ml
);
create descending index alc_p_ob_desc on alc (p_ob);

set term ^ ;

-- The row for a strength by volume: the table's own row for a strength it holds, a straight
-- line between the two neighbouring rows for one in between, nothing outside 0 to 100.
create procedure sp_pr_ob (strength double precision)
returns (p_ob double precision, p_mas double precision, pl double precision)
as
  declare lo_ob double precision;
  declare lo_mas double precision;
  declare lo_pl double precision;
  declare hi_ob double precision;
  declare hi_mas double precision;
  declare hi_pl double precision;
begin
  if (strength is null) then exit;
  if (strength < 0 or strength > 100) then exit;

  select first 1 a.p_ob, a.p_mas, a.pl from alc a
    where a.p_ob <= :strength order by a.p_ob desc
    into :lo_ob, :lo_mas, :lo_pl;
  select first 1 a.p_ob, a.p_mas, a.pl from alc a
    where a.p_ob >= :strength order by a.p_ob
    into :hi_ob, :hi_mas, :hi_pl;
  if (lo_ob is null or hi_ob is null) then exit;

  if (lo_ob = hi_ob) then
  begin
    p_ob = lo_ob;
    p_mas = lo_mas;
    pl = lo_pl;
  end
  else
  begin
    p_ob = strength;
    p_mas = lo_mas + (hi_mas - lo_mas) * (strength - lo_ob) / (hi_ob - lo_ob);
    pl = lo_pl + (hi_pl - lo_pl) * (strength - lo_ob) / (hi_ob - lo_ob);
  end
  suspend;
end^

set term ; ^

grant select on alc to procedure sp_pr_ob;
grant execute on procedure sp_pr_ob to public;
commit;
