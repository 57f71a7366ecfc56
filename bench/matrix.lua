-- Matrix arithmetic on tables of tables: products of square integer
-- matrices with a triple loop, a transpose, element-wise sums, and repeated
-- squaring of a small matrix modulo a prime.
local N = 190

local MOD = 1000003

local function make_matrix(n, seed)
  local rows = {}
  for i = 1, n do
    local row = {}
    for j = 1, n do
      seed = (seed * 1103515245 + 12345) % 2147483648
      row[j] = seed // 65536 % 19 - 9
    end
    rows[i] = row
  end
  return rows
end

local function multiply(a, b)
  local n, m, inner = #a, #b[1], #b
  local c = {}
  for i = 1, n do
    local row_a = a[i]
    local row = {}
    for j = 1, m do
      local s = 0
      for k = 1, inner do
        s = s + row_a[k] * b[k][j]
      end
      row[j] = s
    end
    c[i] = row
  end
  return c
end

local function transpose(a)
  local t = {}
  for j = 1, #a[1] do
    local col = {}
    for i = 1, #a do
      col[i] = a[i][j]
    end
    t[j] = col
  end
  return t
end

local function plus(a, b)
  local c = {}
  for i = 1, #a do
    local row = {}
    for j = 1, #a[i] do
      row[j] = a[i][j] + b[i][j]
    end
    c[i] = row
  end
  return c
end

local function reduce_mod(a)
  for _, row in ipairs(a) do
    for j = 1, #row do
      row[j] = row[j] % MOD
    end
  end
end

local function trace(a)
  local t = 0
  for i = 1, #a do
    t = t + a[i][i]
  end
  return t
end

local function checksum(a)
  local h = 0
  for _, row in ipairs(a) do
    for _, v in ipairs(row) do
      h = (h * 31 + v) % MOD
    end
  end
  return h
end

local function main()
  local a = make_matrix(N, 1)
  local b = make_matrix(N, 2)
  local c = multiply(a, b)
  local d = multiply(transpose(b), transpose(a))
  local agree = 0
  for i = 1, N do
    for j = 1, N do
      if c[i][j] == d[j][i] then
        agree = agree + 1
      end
    end
  end
  local e = plus(multiply(c, a), b)
  local p = make_matrix(12, 3)
  reduce_mod(p)
  for _ = 1, N // 2 do
    p = multiply(p, p)
    reduce_mod(p)
  end
  print("matrix " .. trace(c) .. " " .. checksum(c) .. " " .. agree .. " " .. trace(e) .. " "
        .. checksum(e) .. " " .. checksum(p))
end

main()
