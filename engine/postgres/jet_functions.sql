-- The helper functions translated Jet and SQL Server texts call on
-- PostgreSQL: VAL, LEN, MID, IsNull, NZ, UCASE, CStr, CInt, CDate, the
-- dialect layer's JET_CONCAT, JET_IDIV and JET_MOD, ... with the results the
-- SQLite backend gives for the same calls.
--
-- How the overloads resolve: every function has a text version, which takes
-- text, citext, varchar and untyped literals ('abc', NULL), and an
-- anyelement version for everything else. The anyelement versions hand the
-- value to one of the dravmor_text, dravmor_number, dravmor_val or
-- dravmor_date families, which have an exact version for each number, date
-- and boolean type: a type that only reaches a version through an implicit
-- cast (date to timestamp, integer to double precision) would otherwise
-- make the call "not unique" against the anyelement fallback.
--
-- Failures raise the SQLSTATE PostgreSQL uses for the same kind of fault,
-- with Jet's text: Type mismatch 22P02, Overflow 22003, Division by zero
-- 22012, Invalid procedure call or argument 22023.
--
-- The script can run again on a database that has it (CREATE OR REPLACE);
-- dravmor_functions_version(), created last, tells which version is there.
-- Run it as one text (one PQexec, hence one transaction): connections that
-- set up the same database at once then wait for each other on the lock
-- below instead of failing with "tuple concurrently updated".

SELECT pg_advisory_xact_lock(7240531876);

CREATE EXTENSION IF NOT EXISTS citext;

-- Numbers as text, as Jet writes a Double: at most 15 significant digits,
-- exponent form (1.5E+20, 1E-05) outside 1E-5 .. 1E15, no trailing zeros.
CREATE OR REPLACE FUNCTION dravmor_number_text(n numeric) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  a numeric;
  e integer;
  digits text;
  sign text := CASE WHEN n < 0 THEN '-' ELSE '' END;
BEGIN
  IF n = 'NaN'::numeric THEN RETURN 'NAN'; END IF;
  IF n IN ('Infinity'::numeric, '-Infinity'::numeric) THEN RETURN sign || 'INF'; END IF;
  IF n = 0 THEN RETURN '0'; END IF;
  a := abs(n);
  FOR round_pass IN 1 .. 2 LOOP
    -- The exponent of the leading digit; rounding to 15 digits can carry
    -- into a new one (9.9999999999999999 -> 10), hence the second pass.
    IF a >= 1 THEN
      e := length(trunc(a)::text) - 1;
    ELSE
      e := -(length(substring(a::text FROM '^0\.(0*)')) + 1);
    END IF;
    EXIT WHEN round_pass = 2;
    a := round(a, 14 - e);
  END LOOP;
  IF e < -4 OR e >= 15 THEN
    digits := rtrim(ltrim(replace(a::text, '.', ''), '0'), '0');
    RETURN sign || substr(digits, 1, 1)
        || CASE WHEN length(digits) > 1 THEN '.' || substr(digits, 2) ELSE '' END
        || 'E' || CASE WHEN e < 0 THEN '-' ELSE '+' END || lpad(abs(e)::text, 2, '0');
  END IF;
  RETURN sign || trim_scale(a)::text;
END $$;

-- dravmor_text: a value as the text functions see it. Dates take the form
-- they have as text on SQLite; Yes/No values count as -1 and 0.
CREATE OR REPLACE FUNCTION dravmor_text(v text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION dravmor_text(v smallint) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::text $$;
CREATE OR REPLACE FUNCTION dravmor_text(v integer) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::text $$;
CREATE OR REPLACE FUNCTION dravmor_text(v bigint) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::text $$;
CREATE OR REPLACE FUNCTION dravmor_text(v numeric) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number_text(v) $$;
-- A real goes through its own shortest digits: 1.4 stays 1.4, not the
-- 1.39999997615814 of the double it widens to.
CREATE OR REPLACE FUNCTION dravmor_text(v real) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number_text(v::text::numeric) $$;
-- The cast to numeric keeps 15 significant digits, as Jet does.
CREATE OR REPLACE FUNCTION dravmor_text(v double precision) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number_text(v::numeric) $$;
CREATE OR REPLACE FUNCTION dravmor_text(v timestamp) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT to_char(v, 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE OR REPLACE FUNCTION dravmor_text(v timestamptz) RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT to_char(v, 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE OR REPLACE FUNCTION dravmor_text(v date) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT to_char(v, 'YYYY-MM-DD') || ' 00:00:00' $$;
CREATE OR REPLACE FUNCTION dravmor_text(v boolean) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT CASE WHEN v THEN '-1' ELSE '0' END $$;
CREATE OR REPLACE FUNCTION dravmor_text(v anyelement) RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT v::text $$;

-- dravmor_number: a value as the numeric functions see it. A text must be
-- a number as a whole (blanks around it allowed), else Type mismatch.
CREATE OR REPLACE FUNCTION dravmor_number(v text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
  -- The plain decimal forms go straight to the cast; only the rare others
  -- (0x1F, Infinity, or no number at all) pay for a guarded one.
  IF v ~ '^\s*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?\s*$' THEN
    RETURN v::double precision;
  END IF;
  BEGIN
    RETURN v::double precision;
  EXCEPTION WHEN invalid_text_representation THEN
    RAISE EXCEPTION 'Type mismatch' USING ERRCODE = '22P02';
  END;
END $$;
CREATE OR REPLACE FUNCTION dravmor_number(v smallint) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_number(v integer) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_number(v bigint) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_number(v numeric) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_number(v real) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::text::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_number(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION dravmor_number(v boolean) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT CASE WHEN v THEN -1::double precision ELSE 0 END $$;
-- Dates and everything else are no number, as their text is none on SQLite.
CREATE OR REPLACE FUNCTION dravmor_number(v anyelement) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
  RAISE EXCEPTION 'Type mismatch' USING ERRCODE = '22P02';
END $$;

-- A number rounded as Jet rounds it (half to even: rint, which round() on
-- double precision is), Overflow outside [low, high].
CREATE OR REPLACE FUNCTION dravmor_whole(v double precision, low double precision,
                                         high double precision) RETURNS integer
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  r double precision := round(v);
BEGIN
  -- NaN compares greater than every number, so it overflows too.
  IF NOT (r >= low AND r <= high) THEN
    RAISE EXCEPTION 'Overflow' USING ERRCODE = '22003';
  END IF;
  RETURN r::integer;
END $$;

-- A count or position argument: rounded, and at least `minimum`.
CREATE OR REPLACE FUNCTION dravmor_count(v double precision, minimum integer) RETURNS integer
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  r double precision := round(v);
BEGIN
  IF NOT (r >= minimum AND r < 9.2e18) THEN
    RAISE EXCEPTION 'Invalid procedure call or argument' USING ERRCODE = '22023';
  END IF;
  -- Past the longest text any count means "all of it".
  RETURN least(r, 2147483647)::integer;
END $$;

-- The leading number of a text: blanks anywhere skipped, the number ends
-- at the first character that cannot continue it, &H and &O read hex and
-- octal; 0 when the text begins with no number. Digit runs are measured
-- with ltrim: regular expressions with captures cost PostgreSQL tens of
-- microseconds a call, and VAL sorts whole tables.
CREATE OR REPLACE FUNCTION dravmor_leading_number(t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  s text := translate(t, E' \t\r\n', '');
  rest text;
  signed integer;
  whole_digits integer;
  fraction_digits integer := 0;
  point integer := 0;
  exponent_at integer;
  exponent_digits integer;
  exponent numeric := 0;
  number text;
  base integer;
  digit integer;
  value numeric := 0;
BEGIN
  IF length(s) > 2 AND left(s, 1) = '&' AND substr(s, 2, 1) IN ('H', 'h', 'O', 'o') THEN
    base := CASE WHEN substr(s, 2, 1) IN ('H', 'h') THEN 16 ELSE 8 END;
    FOR i IN 3 .. length(s) LOOP
      digit := strpos('0123456789abcdef', lower(substr(s, i, 1))) - 1;
      EXIT WHEN digit < 0 OR digit >= base OR value > 9.2e18;
      value := value * base + digit;
    END LOOP;
    RETURN value::double precision;
  END IF;
  signed := CASE WHEN left(s, 1) IN ('+', '-') THEN 1 ELSE 0 END;
  rest := substr(s, signed + 1);
  whole_digits := length(rest) - length(ltrim(rest, '0123456789'));
  rest := substr(rest, whole_digits + 1);
  IF left(rest, 1) = '.' THEN
    point := 1;
    rest := substr(rest, 2);
    fraction_digits := length(rest) - length(ltrim(rest, '0123456789'));
    rest := substr(rest, fraction_digits + 1);
  END IF;
  IF whole_digits + fraction_digits = 0 THEN RETURN 0; END IF;
  number := left(s, signed + whole_digits + point + fraction_digits);
  -- An exponent counts only with a digit: '1e' and '1e+' read as 1.
  IF left(rest, 1) IN ('e', 'E', 'd', 'D') THEN
    exponent_at := CASE WHEN substr(rest, 2, 1) IN ('+', '-') THEN 3 ELSE 2 END;
    exponent_digits := length(rest) - exponent_at + 1
                       - length(ltrim(substr(rest, exponent_at), '0123456789'));
    IF exponent_digits > 0 THEN
      exponent := substr(rest, 2, exponent_at - 2 + exponent_digits)::numeric;
      number := number || 'e' || exponent::text;
    END IF;
  END IF;
  -- Only a very long or very large number can fall outside double
  -- precision; such a one reads as 0.
  IF whole_digits + fraction_digits + abs(exponent) > 300 THEN
    BEGIN
      RETURN number::double precision;
    EXCEPTION WHEN numeric_value_out_of_range THEN
      RETURN 0;
    END;
  END IF;
  RETURN number::double precision;
END $$;

-- Not STRICT, so that PostgreSQL can inline it into its callers.
CREATE OR REPLACE FUNCTION dravmor_valid_day(y integer, mo integer, d integer) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT y BETWEEN 100 AND 9999 AND mo BETWEEN 1 AND 12 AND d >= 1
     AND d <= CASE
                WHEN mo = 2 THEN
                  CASE WHEN (y % 4 = 0 AND y % 100 <> 0) OR y % 400 = 0 THEN 29 ELSE 28 END
                WHEN mo IN (4, 6, 9, 11) THEN 30
                ELSE 31
              END
$$;

-- The civil time of a date text as Jet reads it: Y-M-D or Y/M/D with a
-- four-digit year, else month first (day first when only that is a valid
-- date), two-digit years 00-29 as 20xx; an optional time H:MM[:SS] with
-- AM/PM after a blank or a T; a time alone falls on 1899-12-30. NULL when
-- the text is no valid date. A scanner, for the same reason as above.
CREATE OR REPLACE FUNCTION dravmor_parse_date(t text) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  s text := ltrim(t, ' ');
  colon integer := strpos(t, ':');
  first_separator integer := least(nullif(strpos(t, '-'), 0), nullif(strpos(t, '/'), 0));
  part integer[] := '{0,0,0}';
  digits integer[] := '{0,0,0}';
  separator text := '';
  n integer;
  y integer := 1899;
  mo integer := 12;
  d integer := 30;
  h integer := 0;
  mi integer := 0;
  sec integer := 0;
  has_time boolean := true;
  half text;
BEGIN
  -- A time alone ("14:30") has a colon before any date separator.
  IF colon = 0 OR (first_separator IS NOT NULL AND first_separator < colon) THEN
    -- Three numbers of up to four digits each between two equal
    -- separators; a fifth digit may begin the time (12/6/20261:30).
    FOR k IN 1 .. 3 LOOP
      n := least(length(s) - length(ltrim(s, '0123456789')), 4);
      IF n = 0 THEN RETURN NULL; END IF;
      part[k] := left(s, n)::integer;
      digits[k] := n;
      s := substr(s, n + 1);
      EXIT WHEN k = 3;
      IF left(s, 1) NOT IN ('-', '/') OR (separator <> '' AND left(s, 1) <> separator) THEN
        RETURN NULL;
      END IF;
      separator := left(s, 1);
      s := substr(s, 2);
    END LOOP;
    IF digits[1] > 2 THEN
      IF digits[1] <> 4 THEN RETURN NULL; END IF;
      y := part[1];
      mo := part[2];
      d := part[3];
    ELSE
      IF digits[3] NOT IN (2, 4) THEN RETURN NULL; END IF;
      y := part[3];
      IF digits[3] = 2 THEN
        y := y + CASE WHEN y < 30 THEN 2000 ELSE 1900 END;
      END IF;
      mo := part[1];
      d := part[2];
      IF NOT dravmor_valid_day(y, mo, d) AND dravmor_valid_day(y, d, mo) THEN
        mo := part[2];
        d := part[1];
      END IF;
    END IF;
    IF digits[2] > 2 OR NOT dravmor_valid_day(y, mo, d) THEN RETURN NULL; END IF;
    IF left(s, 1) = 'T' THEN
      s := substr(s, 2);
    ELSE
      s := ltrim(s, ' ');
      has_time := s <> '';
    END IF;
  END IF;
  IF has_time THEN
    n := least(length(s) - length(ltrim(s, '0123456789')), 2);
    IF n = 0 OR substr(s, n + 1, 1) <> ':' THEN RETURN NULL; END IF;
    h := left(s, n)::integer;
    s := substr(s, n + 2);
    IF length(s) - length(ltrim(s, '0123456789')) < 2 THEN RETURN NULL; END IF;
    mi := left(s, 2)::integer;
    s := substr(s, 3);
    IF left(s, 1) = ':' THEN
      s := substr(s, 2);
      IF length(s) - length(ltrim(s, '0123456789')) < 2 THEN RETURN NULL; END IF;
      sec := left(s, 2)::integer;
      s := substr(s, 3);
    END IF;
    s := ltrim(s, ' ');
    half := lower(left(s, 2));
    IF half IN ('am', 'pm') THEN
      IF h < 1 OR h > 12 THEN RETURN NULL; END IF;
      h := h % 12 + CASE WHEN half = 'pm' THEN 12 ELSE 0 END;
      s := substr(s, 3);
    END IF;
    IF h > 23 OR mi > 59 OR sec > 59 THEN RETURN NULL; END IF;
  END IF;
  IF ltrim(s, ' ') <> '' THEN RETURN NULL; END IF;
  RETURN make_timestamp(y, mo, d, h, mi, sec);
END $$;

-- The date of an automation serial number (days since 1899-12-30, the
-- fraction the time of day; before day zero the time still counts
-- forward). Type mismatch outside the years 100-9999.
CREATE OR REPLACE FUNCTION dravmor_from_serial(serial double precision) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  whole double precision := trunc(serial);
  seconds bigint;
  days bigint;
  the_day date;
BEGIN
  -- Far outside the years 100-9999 (NaN and infinities too).
  IF NOT (whole BETWEEN -700000 AND 3000000) THEN
    RAISE EXCEPTION 'Type mismatch' USING ERRCODE = '22P02';
  END IF;
  seconds := floor(abs(serial - whole) * 86400 + 0.5)::bigint;
  days := whole::bigint;
  IF seconds >= 86400 THEN
    seconds := seconds - 86400;
    days := days + CASE WHEN serial < 0 THEN -1 ELSE 1 END;
  END IF;
  the_day := date '1899-12-30' + days::integer;
  IF extract(year FROM the_day) NOT BETWEEN 100 AND 9999 THEN
    RAISE EXCEPTION 'Type mismatch' USING ERRCODE = '22P02';
  END IF;
  RETURN the_day + make_interval(secs => seconds);
END $$;

-- dravmor_date: a value as CDate converts it; numbers are serial dates.
CREATE OR REPLACE FUNCTION dravmor_date(v text) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  t timestamp := dravmor_parse_date(v);
BEGIN
  IF t IS NULL THEN
    RAISE EXCEPTION 'Type mismatch' USING ERRCODE = '22P02';
  END IF;
  RETURN t;
END $$;
CREATE OR REPLACE FUNCTION dravmor_date(v smallint) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(v) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v integer) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(v) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v bigint) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(v) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v numeric) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(v) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v real) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(dravmor_number(v)) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v double precision) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(v) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v boolean) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_from_serial(dravmor_number(v)) $$;
CREATE OR REPLACE FUNCTION dravmor_date(v timestamp) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION dravmor_date(v timestamptz) RETURNS timestamp
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT v::timestamp $$;
CREATE OR REPLACE FUNCTION dravmor_date(v date) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::timestamp $$;
CREATE OR REPLACE FUNCTION dravmor_date(v anyelement) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
  RAISE EXCEPTION 'Type mismatch' USING ERRCODE = '22P02';
END $$;

-- dravmor_val: VAL of a value that is no text. Numbers stay what they
-- are; anything else is read from its text.
CREATE OR REPLACE FUNCTION dravmor_val(v smallint) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_val(v integer) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_val(v bigint) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_val(v numeric) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v::double precision $$;
CREATE OR REPLACE FUNCTION dravmor_val(v real) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number(v) $$;
CREATE OR REPLACE FUNCTION dravmor_val(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION dravmor_val(v boolean) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number(v) $$;
CREATE OR REPLACE FUNCTION dravmor_val(v anyelement) RETURNS double precision
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_leading_number(dravmor_text(v)) $$;

-- Jet's \ and Mod: both sides rounded to whole numbers first, the quotient
-- truncated, the remainder taking the sign of the dividend.
CREATE OR REPLACE FUNCTION dravmor_whole_division(a double precision, b double precision,
                                                  remainder boolean) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  x double precision := round(a);
  y double precision := round(b);
BEGIN
  IF abs(x) > 9.2e18 OR abs(y) > 9.2e18 THEN
    RAISE EXCEPTION 'Overflow' USING ERRCODE = '22003';
  END IF;
  IF y = 0 THEN
    RAISE EXCEPTION 'Division by zero' USING ERRCODE = '22012';
  END IF;
  IF remainder THEN
    RETURN x::bigint % y::bigint;
  END IF;
  RETURN x::bigint / y::bigint;
END $$;

-- The functions the translated texts call.

CREATE OR REPLACE FUNCTION val(v text) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_leading_number(v) $$;
CREATE OR REPLACE FUNCTION val(v anyelement) RETURNS double precision
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_val(v) $$;

CREATE OR REPLACE FUNCTION len(v text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT char_length(v) $$;
CREATE OR REPLACE FUNCTION len(v anyelement) RETURNS integer
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT char_length(dravmor_text(v)) $$;

-- SQL Server's LEN does not count trailing blanks.
CREATE OR REPLACE FUNCTION mssql_len(v text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT char_length(rtrim(v, ' ')) $$;
CREATE OR REPLACE FUNCTION mssql_len(v anyelement) RETURNS integer
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT char_length(rtrim(dravmor_text(v), ' ')) $$;

-- Mid is 1-based; a start past the end gives ''.
CREATE OR REPLACE FUNCTION mid(v text, start double precision) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT substr(v, dravmor_count(start, 1))
$$;
CREATE OR REPLACE FUNCTION mid(v text, start double precision, count double precision) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT substr(v, dravmor_count(start, 1), dravmor_count(count, 0))
$$;
CREATE OR REPLACE FUNCTION mid(v anyelement, start double precision) RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT mid(dravmor_text(v), start) $$;
CREATE OR REPLACE FUNCTION mid(v anyelement, start double precision, count double precision)
RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT mid(dravmor_text(v), start, count) $$;

-- IsNull(x) is Jet's test (-1 true, 0 false); ISNULL(x, y) is SQL Server's
-- replacement of a Null.
CREATE OR REPLACE FUNCTION isnull(v text) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN v IS NULL THEN -1 ELSE 0 END $$;
CREATE OR REPLACE FUNCTION isnull(v anyelement) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN v IS NULL THEN -1 ELSE 0 END $$;
CREATE OR REPLACE FUNCTION isnull(v anycompatible, replacement anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, replacement) $$;

-- IIf(condition, a, b): b when the condition is False, 0 or Null; both are
-- evaluated, as in Jet. A text condition is read for its leading number.
CREATE OR REPLACE FUNCTION iif(c boolean, a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN c THEN a ELSE b END $$;
CREATE OR REPLACE FUNCTION iif(c numeric, a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN c <> 0 THEN a ELSE b END $$;
CREATE OR REPLACE FUNCTION iif(c text, a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN val(c) <> 0 THEN a ELSE b END $$;

-- Nz(x) gives what Jet's Empty becomes in the value's own type: '' for a
-- text, 0 for a number, False, and day zero for a date.
CREATE OR REPLACE FUNCTION nz(v text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, '') $$;
CREATE OR REPLACE FUNCTION nz(v citext) RETURNS citext
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, ''::citext) $$;
CREATE OR REPLACE FUNCTION nz(v smallint) RETURNS smallint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, 0::smallint) $$;
CREATE OR REPLACE FUNCTION nz(v integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, 0) $$;
CREATE OR REPLACE FUNCTION nz(v bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, 0::bigint) $$;
CREATE OR REPLACE FUNCTION nz(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, 0::numeric) $$;
CREATE OR REPLACE FUNCTION nz(v real) RETURNS real
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, 0::real) $$;
CREATE OR REPLACE FUNCTION nz(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, 0::double precision) $$;
CREATE OR REPLACE FUNCTION nz(v boolean) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, false) $$;
CREATE OR REPLACE FUNCTION nz(v timestamp) RETURNS timestamp
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, timestamp '1899-12-30') $$;
CREATE OR REPLACE FUNCTION nz(v timestamptz) RETURNS timestamptz
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT coalesce(v, timestamp '1899-12-30'::timestamptz) $$;
CREATE OR REPLACE FUNCTION nz(v date) RETURNS date
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, date '1899-12-30') $$;
-- Other types have no Empty; their Null stays.
CREATE OR REPLACE FUNCTION nz(v anyelement) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION nz(v anycompatible, replacement anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(v, replacement) $$;

-- Letter case follows the database's LC_CTYPE (C.UTF-8 maps the letters
-- of every script one to one).
CREATE OR REPLACE FUNCTION ucase(v text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT upper(v) $$;
CREATE OR REPLACE FUNCTION ucase(v anyelement) RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT upper(dravmor_text(v)) $$;
CREATE OR REPLACE FUNCTION lcase(v text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT lower(v) $$;
CREATE OR REPLACE FUNCTION lcase(v anyelement) RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT lower(dravmor_text(v)) $$;

-- The local time, in whole seconds; the same throughout one statement.
CREATE OR REPLACE FUNCTION getdate() RETURNS timestamp
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT date_trunc('second', statement_timestamp()::timestamp)
$$;
CREATE OR REPLACE FUNCTION date() RETURNS timestamp
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT date_trunc('day', statement_timestamp()::timestamp)
$$;
-- TIME is a keyword to PostgreSQL: the call must quote the name, "time"().
-- The time of day falls on day zero, as a time alone does on Jet.
CREATE OR REPLACE FUNCTION "time"() RETURNS timestamp
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT date '1899-12-30' + date_trunc('second', statement_timestamp()::timestamp)::time
$$;

CREATE OR REPLACE FUNCTION cstr(v text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION cstr(v anyelement) RETURNS text
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_text(v) $$;

CREATE OR REPLACE FUNCTION cint(v text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_whole(dravmor_number(v), -32768, 32767) $$;
CREATE OR REPLACE FUNCTION cint(v anyelement) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_whole(dravmor_number(v), -32768, 32767) $$;
CREATE OR REPLACE FUNCTION clng(v text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole(dravmor_number(v), -2147483648, 2147483647)
$$;
CREATE OR REPLACE FUNCTION clng(v anyelement) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole(dravmor_number(v), -2147483648, 2147483647)
$$;

CREATE OR REPLACE FUNCTION cbyte(v text) RETURNS smallint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_whole(dravmor_number(v), 0, 255)::smallint $$;
CREATE OR REPLACE FUNCTION cbyte(v anyelement) RETURNS smallint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_whole(dravmor_number(v), 0, 255)::smallint $$;

-- CSng: the nearest single; Overflow beyond its range.
CREATE OR REPLACE FUNCTION dravmor_single(v double precision) RETURNS real
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
  IF NOT (abs(v) <= 3.4028234663852886e38) THEN
    RAISE EXCEPTION 'Overflow' USING ERRCODE = '22003';
  END IF;
  RETURN v::real;
EXCEPTION WHEN numeric_value_out_of_range THEN
  RETURN 0::real;  -- below the smallest single: Jet gives 0 too
END $$;
CREATE OR REPLACE FUNCTION csng(v text) RETURNS real
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_single(dravmor_number(v)) $$;
CREATE OR REPLACE FUNCTION csng(v anyelement) RETURNS real
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_single(dravmor_number(v)) $$;

-- CCur: four decimals within the Currency range, else Overflow. Exact
-- values (numeric, integers) are not taken through double precision.
CREATE OR REPLACE FUNCTION dravmor_currency(v numeric) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  r numeric := round(v, 4);
BEGIN
  IF abs(r) > 922337203685477.5807 THEN
    RAISE EXCEPTION 'Overflow' USING ERRCODE = '22003';
  END IF;
  RETURN r;
END $$;
CREATE OR REPLACE FUNCTION ccur(v text) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_currency(dravmor_number(v)::numeric)
$$;
CREATE OR REPLACE FUNCTION ccur(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_currency(v) $$;
CREATE OR REPLACE FUNCTION ccur(v smallint) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_currency(v) $$;
CREATE OR REPLACE FUNCTION ccur(v integer) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_currency(v) $$;
CREATE OR REPLACE FUNCTION ccur(v real) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_currency(v::text::numeric) $$;
CREATE OR REPLACE FUNCTION ccur(v double precision) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_currency(v::numeric) $$;
CREATE OR REPLACE FUNCTION ccur(v bigint) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_currency(v) $$;
CREATE OR REPLACE FUNCTION ccur(v anyelement) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_currency(dravmor_number(v)::numeric)
$$;

CREATE OR REPLACE FUNCTION cdbl(v text) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number(v) $$;
CREATE OR REPLACE FUNCTION cdbl(v anyelement) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_number(v) $$;

CREATE OR REPLACE FUNCTION cdate(v text) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_date(v) $$;
CREATE OR REPLACE FUNCTION cdate(v anyelement) RETURNS timestamp
LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $$ SELECT dravmor_date(v) $$;

-- Jet's &: a Null side counts as '', both Null give Null. Two-argument
-- functions need a version for each side being text; anyelement with
-- anycompatible lets the two sides have different types.
CREATE OR REPLACE FUNCTION jet_concat(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN a IS NULL AND b IS NULL THEN NULL ELSE coalesce(a, '') || coalesce(b, '') END
$$;
CREATE OR REPLACE FUNCTION jet_concat(a text, b anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT jet_concat(a, dravmor_text(b)) $$;
CREATE OR REPLACE FUNCTION jet_concat(a anyelement, b text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT jet_concat(dravmor_text(a), b) $$;
CREATE OR REPLACE FUNCTION jet_concat(a anyelement, b anycompatible) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT jet_concat(dravmor_text(a), dravmor_text(b)) $$;

CREATE OR REPLACE FUNCTION jet_idiv(a text, b text) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), false)
$$;
CREATE OR REPLACE FUNCTION jet_idiv(a text, b anyelement) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), false)
$$;
CREATE OR REPLACE FUNCTION jet_idiv(a anyelement, b text) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), false)
$$;
CREATE OR REPLACE FUNCTION jet_idiv(a anyelement, b anycompatible) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), false)
$$;

CREATE OR REPLACE FUNCTION jet_mod(a text, b text) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), true)
$$;
CREATE OR REPLACE FUNCTION jet_mod(a text, b anyelement) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), true)
$$;
CREATE OR REPLACE FUNCTION jet_mod(a anyelement, b text) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), true)
$$;
CREATE OR REPLACE FUNCTION jet_mod(a anyelement, b anycompatible) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT dravmor_whole_division(dravmor_number(a), dravmor_number(b), true)
$$;

-- A number compared with a text (a Long or Currency key joined with the
-- text column that holds the same key): Jet compares them as numbers, so
-- these operators do the same; a text that is no number equals nothing.
CREATE OR REPLACE FUNCTION dravmor_num_eq_text(numeric, citext) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN $2::text ~ '^\s*[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)\s*$'
              THEN $1 = trim($2::text)::numeric ELSE false END $$;
CREATE OR REPLACE FUNCTION dravmor_text_eq_num(citext, numeric) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT dravmor_num_eq_text($2, $1) $$;
CREATE OR REPLACE FUNCTION dravmor_int_eq_text(integer, citext) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT dravmor_num_eq_text($1::numeric, $2) $$;
CREATE OR REPLACE FUNCTION dravmor_text_eq_int(citext, integer) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT dravmor_num_eq_text($2::numeric, $1) $$;
DO $$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_operator WHERE oprname = '=' AND
                 oprleft = 'numeric'::regtype AND oprright = 'citext'::regtype) THEN
    CREATE OPERATOR = (LEFTARG = numeric, RIGHTARG = citext, FUNCTION = dravmor_num_eq_text);
    CREATE OPERATOR = (LEFTARG = citext, RIGHTARG = numeric, FUNCTION = dravmor_text_eq_num);
    CREATE OPERATOR = (LEFTARG = integer, RIGHTARG = citext, FUNCTION = dravmor_int_eq_text);
    CREATE OPERATOR = (LEFTARG = citext, RIGHTARG = integer, FUNCTION = dravmor_text_eq_int);
  END IF;
END $$;

-- Jet's date functions: the interval as Jet writes it ("yyyy", "q", "m",
-- "y", "d", "w", "ww", "h", "n", "s"); weeks start on Sunday and week 1
-- holds 1 January, as Jet counts by default. The dialect layer hands the
-- dates over through cdate().
CREATE OR REPLACE FUNCTION dravmor_interval(i text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
  IF lower(i) IN ('yyyy', 'q', 'm', 'y', 'd', 'w', 'ww', 'h', 'n', 's') THEN
    RETURN lower(i);
  END IF;
  RAISE EXCEPTION 'Invalid procedure call or argument' USING ERRCODE = '22023';
END $$;

CREATE OR REPLACE FUNCTION jet_datepart(i text, d timestamp) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT CASE dravmor_interval(i)
    WHEN 'yyyy' THEN extract(year FROM d)
    WHEN 'q' THEN extract(quarter FROM d)
    WHEN 'm' THEN extract(month FROM d)
    WHEN 'y' THEN extract(doy FROM d)
    WHEN 'd' THEN extract(day FROM d)
    WHEN 'w' THEN extract(dow FROM d) + 1
    WHEN 'ww' THEN (extract(doy FROM d)::integer - 1
                    + extract(dow FROM date_trunc('year', d))::integer) / 7 + 1
    WHEN 'h' THEN extract(hour FROM d)
    WHEN 'n' THEN extract(minute FROM d)
    ELSE floor(extract(second FROM d))
  END::integer
$$;

-- The boundaries crossed from a to b; 1899-12-31 was a Sunday.
CREATE OR REPLACE FUNCTION jet_datediff(i text, a timestamp, b timestamp) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT CASE dravmor_interval(i)
    WHEN 'yyyy' THEN extract(year FROM b) - extract(year FROM a)
    WHEN 'q' THEN (extract(year FROM b) * 4 + extract(quarter FROM b))
                - (extract(year FROM a) * 4 + extract(quarter FROM a))
    WHEN 'm' THEN (extract(year FROM b) * 12 + extract(month FROM b))
                - (extract(year FROM a) * 12 + extract(month FROM a))
    WHEN 'w' THEN trunc((b::date - a::date) / 7.0)
    WHEN 'ww' THEN floor((b::date - date '1899-12-31') / 7.0)
                 - floor((a::date - date '1899-12-31') / 7.0)
    WHEN 'h' THEN floor(extract(epoch FROM b) / 3600) - floor(extract(epoch FROM a) / 3600)
    WHEN 'n' THEN floor(extract(epoch FROM b) / 60) - floor(extract(epoch FROM a) / 60)
    WHEN 's' THEN extract(epoch FROM b) - extract(epoch FROM a)
    ELSE b::date - a::date
  END::bigint
$$;

-- Months added keep the day where the month has it, else its last day;
-- the count is rounded as Jet rounds it.
CREATE OR REPLACE FUNCTION jet_dateadd(i text, n double precision, d timestamp) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  k double precision := round(n);
  result timestamp;
BEGIN
  IF abs(k) > 4e9 THEN
    RAISE EXCEPTION 'Invalid procedure call or argument' USING ERRCODE = '22023';
  END IF;
  result := d + CASE dravmor_interval(i)
    WHEN 'yyyy' THEN make_interval(months => (k * 12)::integer)
    WHEN 'q' THEN make_interval(months => (k * 3)::integer)
    WHEN 'm' THEN make_interval(months => k::integer)
    WHEN 'ww' THEN make_interval(days => (k * 7)::integer)
    WHEN 'h' THEN make_interval(secs => k * 3600)
    WHEN 'n' THEN make_interval(secs => k * 60)
    WHEN 's' THEN make_interval(secs => k)
    ELSE make_interval(days => k::integer)
  END;
  IF extract(year FROM result) NOT BETWEEN 100 AND 9999 THEN
    RAISE EXCEPTION 'Invalid procedure call or argument' USING ERRCODE = '22023';
  END IF;
  RETURN result;
EXCEPTION WHEN datetime_field_overflow OR numeric_value_out_of_range THEN
  RAISE EXCEPTION 'Invalid procedure call or argument' USING ERRCODE = '22023';
END $$;

-- A Jet or SQL Server LIKE pattern as an anchored regular expression for
-- ~*: % and _ are wildcards, [a-c], [!a] and [^a] sets, an unclosed [
-- itself, the escape character (when given) makes the next one literal.
-- The dialect layer makes the same text itself for literal patterns.
CREATE OR REPLACE FUNCTION dravmor_like_regex(pattern text, escape text DEFAULT NULL)
RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  n integer := length(pattern);
  i integer := 1;
  j integer;
  k integer;
  close integer;
  c text;
  out text := '^';
  special constant text := '.^$|?*+()[]{}\-';
BEGIN
  IF pattern IS NULL THEN RETURN NULL; END IF;
  WHILE i <= n LOOP
    c := substr(pattern, i, 1);
    IF escape IS NOT NULL AND length(escape) = 1 AND c = escape AND i < n THEN
      i := i + 1;
      c := substr(pattern, i, 1);
      out := out || CASE WHEN strpos(special, c) > 0 THEN '\' ELSE '' END || c;
    ELSIF c = '%' THEN
      out := out || '.*';
    ELSIF c = '_' THEN
      out := out || '.';
    ELSIF c = '[' THEN
      j := i + 1;
      IF j <= n AND substr(pattern, j, 1) IN ('!', '^') THEN j := j + 1; END IF;
      close := j + 1;
      WHILE close <= n AND substr(pattern, close, 1) <> ']' LOOP close := close + 1; END LOOP;
      IF j > n OR close > n THEN
        out := out || '\[';
      ELSE
        out := out || CASE WHEN j > i + 1 THEN '[^' ELSE '[' END;
        k := j;
        WHILE k < close LOOP
          c := substr(pattern, k, 1);
          out := out || CASE WHEN strpos(special, c) > 0 THEN '\' ELSE '' END || c;
          IF k + 2 < close AND substr(pattern, k + 1, 1) = '-' THEN
            c := substr(pattern, k + 2, 1);
            out := out || '-' || CASE WHEN strpos(special, c) > 0 THEN '\' ELSE '' END || c;
            k := k + 2;
          END IF;
          k := k + 1;
        END LOOP;
        out := out || ']';
        i := close;
      END IF;
    ELSE
      out := out || CASE WHEN strpos(special, c) > 0 THEN '\' ELSE '' END || c;
    END IF;
    i := i + 1;
  END LOOP;
  RETURN out || '$';
END $$;

-- Present when this script has run; raise the number with every change to
-- the functions above.
CREATE OR REPLACE FUNCTION dravmor_functions_version() RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT 4 $$;
