-- The part of a hosted project's auth schema that schema.sql and the dev gateway need,
-- so both run on a plain PostgreSQL. Safe to apply more than once.

do $$
begin
  if not exists (select from pg_roles where rolname = 'anon') then
    create role anon nologin noinherit;
  end if;
  if not exists (select from pg_roles where rolname = 'authenticated') then
    create role authenticated nologin noinherit;
  end if;
end
$$;

create schema if not exists auth;
grant usage on schema auth to anon, authenticated;
grant usage on schema public to anon, authenticated;

create table if not exists auth.users (
  id uuid primary key default gen_random_uuid(),
  email text unique,
  raw_user_meta_data jsonb not null default '{}'::jsonb,
  raw_app_meta_data jsonb not null default '{}'::jsonb,
  email_confirmed_at timestamptz,
  last_sign_in_at timestamptz,
  created_at timestamptz not null default now(),
  updated_at timestamptz not null default now()
);

create or replace function auth.jwt() returns jsonb
language sql stable as $$
  select coalesce(nullif(current_setting('request.jwt.claims', true), ''), '{}')::jsonb
$$;

create or replace function auth.uid() returns uuid
language sql stable as $$
  select nullif(auth.jwt() ->> 'sub', '')::uuid
$$;

create or replace function auth.role() returns text
language sql stable as $$
  select nullif(auth.jwt() ->> 'role', '')
$$;

-- Gateway bookkeeping; never granted to the API roles.
create table if not exists auth.sessions (
  id uuid primary key default gen_random_uuid(),
  user_id uuid not null references auth.users (id) on delete cascade,
  created_at timestamptz not null default now()
);

create table if not exists auth.refresh_tokens (
  token text primary key,
  session_id uuid not null references auth.sessions (id) on delete cascade,
  revoked boolean not null default false,
  revoked_at timestamptz,
  created_at timestamptz not null default now()
);

-- One pending PKCE sign-in; auth_code is set once the user has proven who they are.
create table if not exists auth.flow_state (
  id uuid primary key default gen_random_uuid(),
  code_challenge text not null,
  code_challenge_method text not null default 's256',
  user_id uuid references auth.users (id) on delete cascade,
  auth_code text unique,
  auth_code_issued_at timestamptz,
  created_at timestamptz not null default now()
);

-- The last code and link e-mailed to a user; a new e-mail replaces it.
create table if not exists auth.one_time_tokens (
  user_id uuid primary key references auth.users (id) on delete cascade,
  code text not null,
  token_hash text not null unique,
  flow_state_id uuid references auth.flow_state (id) on delete set null,
  redirect_to text,
  created_at timestamptz not null default now()
);
