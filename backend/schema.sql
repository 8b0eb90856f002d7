-- Pawlane cloud schema. Apply it to your Supabase project (SQL editor or psql) as the
-- project owner. Applying it again is harmless: it only adds what is missing and
-- replaces functions, policies and the trigger with their current versions.

create schema if not exists private;
revoke all on schema private from public;
grant usage on schema private to authenticated;

-- Tables ------------------------------------------------------------------------------

create table if not exists public.profiles (
  id uuid primary key references auth.users (id) on delete cascade,
  display_name text not null,
  friend_code text not null unique,
  created_at timestamptz not null default now()
);

create table if not exists public.pets (
  id uuid primary key,
  owner_id uuid not null references public.profiles (id) on delete cascade,
  name text not null check (char_length(name) between 1 and 100),
  schema_version integer not null default 1,
  design jsonb not null check (jsonb_typeof(design) = 'object' and octet_length(design::text) <= 32768),
  created_at timestamptz not null default now(),
  updated_at timestamptz not null default now()
);
create index if not exists pets_owner_id_idx on public.pets (owner_id);

create table if not exists public.friendships (
  user_a uuid not null references public.profiles (id) on delete cascade,
  user_b uuid not null references public.profiles (id) on delete cascade,
  created_at timestamptz not null default now(),
  primary key (user_a, user_b),
  check (user_a <> user_b)
);
-- One row per pair, whichever way round it was stored.
create unique index if not exists friendships_pair_idx
  on public.friendships (least(user_a, user_b), greatest(user_a, user_b));
create index if not exists friendships_user_b_idx on public.friendships (user_b);

create or replace function private.touch_updated_at() returns trigger
language plpgsql as $$
begin
  new.updated_at := now();
  return new;
end
$$;

drop trigger if exists pets_touch_updated_at on public.pets;
create trigger pets_touch_updated_at before update on public.pets
  for each row execute function private.touch_updated_at();

-- Profiles for new accounts ---------------------------------------------------------

-- 32 characters without 0/O and 1/I, so a code read aloud or retyped stays unambiguous,
-- and 32 divides 256, so every character is equally likely.
create or replace function private.new_friend_code() returns text
language plpgsql volatile set search_path = '' as $$
declare
  alphabet constant text := 'ABCDEFGHJKLMNPQRSTUVWXYZ23456789';
  bytes bytea;
  candidate text;
  i int;
begin
  loop
    bytes := uuid_send(gen_random_uuid());
    candidate := '';
    -- Bytes 6 and 8 carry the UUID's version and variant bits; skip them.
    foreach i in array array[0, 1, 2, 3, 4, 5, 7, 9] loop
      candidate := candidate || substr(alphabet, (get_byte(bytes, i) % 32) + 1, 1);
    end loop;
    exit when not exists (select 1 from public.profiles p where p.friend_code = candidate);
  end loop;
  return candidate;
end
$$;

create or replace function private.display_name_for(meta jsonb, email text) returns text
language sql immutable set search_path = '' as $$
  select left(coalesce(
    nullif(btrim(meta ->> 'display_name'), ''),
    nullif(btrim(meta ->> 'full_name'), ''),
    nullif(btrim(meta ->> 'name'), ''),
    nullif(btrim(split_part(coalesce(email, ''), '@', 1)), ''),
    'Friend'), 60)
$$;

create or replace function private.create_profile() returns trigger
language plpgsql security definer set search_path = '' as $$
begin
  insert into public.profiles (id, display_name, friend_code)
  values (new.id, private.display_name_for(new.raw_user_meta_data, new.email),
          private.new_friend_code())
  on conflict (id) do nothing;
  return new;
end
$$;

drop trigger if exists pawlane_create_profile on auth.users;
create trigger pawlane_create_profile after insert on auth.users
  for each row execute function private.create_profile();

-- Accounts made before the schema was applied get their profile now.
do $$
declare
  u record;
begin
  for u in select au.id, au.raw_user_meta_data, au.email from auth.users au
           where not exists (select 1 from public.profiles p where p.id = au.id) loop
    insert into public.profiles (id, display_name, friend_code)
    values (u.id, private.display_name_for(u.raw_user_meta_data, u.email),
            private.new_friend_code());
  end loop;
end
$$;

-- Row-level security ------------------------------------------------------------------

-- Runs as its owner so the policies below can read friendships without recursing into
-- the friendships policy.
create or replace function private.friend_ids(uid uuid) returns setof uuid
language sql stable security definer set search_path = '' as $$
  select case when f.user_a = uid then f.user_b else f.user_a end
  from public.friendships f
  where f.user_a = uid or f.user_b = uid
$$;
revoke all on all functions in schema private from public;
grant execute on function private.friend_ids(uuid) to authenticated;

alter table public.profiles enable row level security;
alter table public.pets enable row level security;
alter table public.friendships enable row level security;

revoke all on public.profiles, public.pets, public.friendships from anon, authenticated;
grant select on public.profiles to authenticated;
grant select, insert, update, delete on public.pets to authenticated;
grant select, delete on public.friendships to authenticated;

drop policy if exists "profiles of self and friends" on public.profiles;
create policy "profiles of self and friends" on public.profiles
  for select to authenticated
  using (id = (select auth.uid())
         or id in (select private.friend_ids((select auth.uid()))));

drop policy if exists "friendships of the user" on public.friendships;
create policy "friendships of the user" on public.friendships
  for select to authenticated
  using ((select auth.uid()) in (user_a, user_b));

drop policy if exists "users end their own friendships" on public.friendships;
create policy "users end their own friendships" on public.friendships
  for delete to authenticated
  using ((select auth.uid()) in (user_a, user_b));

drop policy if exists "pets of self and friends" on public.pets;
create policy "pets of self and friends" on public.pets
  for select to authenticated
  using (owner_id = (select auth.uid())
         or owner_id in (select private.friend_ids((select auth.uid()))));

drop policy if exists "owners add pets" on public.pets;
create policy "owners add pets" on public.pets
  for insert to authenticated
  with check (owner_id = (select auth.uid()));

drop policy if exists "owners change pets" on public.pets;
create policy "owners change pets" on public.pets
  for update to authenticated
  using (owner_id = (select auth.uid()))
  with check (owner_id = (select auth.uid()));

drop policy if exists "owners delete pets" on public.pets;
create policy "owners delete pets" on public.pets
  for delete to authenticated
  using (owner_id = (select auth.uid()));

-- Procedures --------------------------------------------------------------------------

create or replace function public.redeem_friend_code(code text)
returns table (friend_id uuid, friend_name text)
language plpgsql security definer set search_path = '' as $$
declare
  me uuid := auth.uid();
  friend public.profiles%rowtype;
begin
  if me is null then
    raise exception 'Sign in to add friends.' using errcode = '42501';
  end if;
  select * into friend from public.profiles p
    where p.friend_code = upper(btrim(redeem_friend_code.code, E' \t\r\n'));
  if not found then
    raise exception 'No one has the friend code "%".', btrim(redeem_friend_code.code, E' \t\r\n');
  end if;
  if friend.id = me then
    raise exception 'That is your own friend code.';
  end if;
  insert into public.friendships (user_a, user_b) values (me, friend.id)
    on conflict do nothing;
  return query select friend.id, friend.display_name;
end
$$;
revoke all on function public.redeem_friend_code(text) from public, anon;
grant execute on function public.redeem_friend_code(text) to authenticated;

create or replace function public.delete_account() returns void
language plpgsql security definer set search_path = '' as $$
declare
  me uuid := auth.uid();
begin
  if me is null then
    raise exception 'Sign in to delete your account.' using errcode = '42501';
  end if;
  delete from public.pets where owner_id = me;
  delete from public.friendships where me in (user_a, user_b);
  delete from public.profiles where id = me;
  delete from auth.users where id = me;
end
$$;
revoke all on function public.delete_account() from public, anon;
grant execute on function public.delete_account() to authenticated;
