-- A recursive-descent parser and evaluator: arithmetic expressions are
-- generated as text, cut into tokens, parsed into trees of tables and
-- evaluated modulo a prime, so every value stays a small integer.
local N = 25000

local MOD = 1000003

local Rng = {}
Rng.__index = Rng

function Rng.new(seed)
  return setmetatable({seed = seed}, Rng)
end

function Rng:below(n)
  self.seed = (self.seed * 1103515245 + 12345) % 2147483648
  return self.seed // 65536 % n
end

local function gen(rng, depth)
  if depth == 0 or rng:below(4) == 0 then
    return tostring(rng:below(1000))
  end
  local choice = rng:below(12)
  if choice == 0 then
    return "-" .. gen(rng, depth - 1)
  elseif choice == 1 then
    return "(" .. gen(rng, depth - 1) .. ")"
  end
  local k = choice % 5 + 1
  local op = ("+-*/%"):sub(k, k)
  local left = gen(rng, depth - 1)
  return left .. " " .. op .. " " .. gen(rng, depth - 1)
end

local function tokenize(text)
  local tokens = {}
  local number = -1
  for i = 1, #text do
    local c = text:sub(i, i)
    local d = tonumber(c)
    if d then
      if number < 0 then
        number = 0
      end
      number = number * 10 + d
    else
      if number >= 0 then
        tokens[#tokens + 1] = number
        number = -1
      end
      if c ~= " " then
        tokens[#tokens + 1] = c
      end
    end
  end
  if number >= 0 then
    tokens[#tokens + 1] = number
  end
  tokens[#tokens + 1] = "end"
  return tokens
end

local Parser = {}
Parser.__index = Parser

function Parser.new(tokens)
  return setmetatable({tokens = tokens, pos = 1}, Parser)
end

function Parser:peek()
  return self.tokens[self.pos]
end

function Parser:take()
  local token = self.tokens[self.pos]
  self.pos = self.pos + 1
  return token
end

-- expr := term (("+" | "-") term)*
function Parser:expr()
  local node = self:term()
  while self:peek() == "+" or self:peek() == "-" do
    local op = self:take()
    node = {op, node, self:term()}
  end
  return node
end

-- term := unary (("*" | "/" | "%") unary)*
function Parser:term()
  local node = self:unary()
  while self:peek() == "*" or self:peek() == "/" or self:peek() == "%" do
    local op = self:take()
    node = {op, node, self:unary()}
  end
  return node
end

-- unary := "-" unary | "(" expr ")" | number
function Parser:unary()
  local token = self:take()
  if token == "-" then
    return {"neg", self:unary()}
  end
  if token == "(" then
    local node = self:expr()
    assert(self:take() == ")", "expected )")
    return node
  end
  assert(math.type(token) == "integer", "expected a number")
  return token
end

local function evaluate(node)
  if type(node) == "number" then
    return node
  end
  local op = node[1]
  if op == "neg" then
    return (MOD - evaluate(node[2])) % MOD
  end
  local a = evaluate(node[2])
  local b = evaluate(node[3])
  if op == "+" then
    return (a + b) % MOD
  elseif op == "-" then
    return (a - b) % MOD
  elseif op == "*" then
    return a * b % MOD
  end
  if b == 0 then
    return a
  end
  if op == "/" then
    return a // b
  end
  return a % b
end

local function count_nodes(node)
  if type(node) == "number" then
    return 1
  end
  if node[1] == "neg" then
    return 1 + count_nodes(node[2])
  end
  return 1 + count_nodes(node[2]) + count_nodes(node[3])
end

local function main()
  local rng = Rng.new(7)
  local total = 0
  local tokens = 0
  local nodes = 0
  local chars = 0
  for _ = 1, N do
    local text = gen(rng, 8)
    chars = chars + #text
    local toks = tokenize(text)
    tokens = tokens + #toks
    local parser = Parser.new(toks)
    local tree = parser:expr()
    assert(parser:peek() == "end", "unparsed input")
    nodes = nodes + count_nodes(tree)
    total = (total * 31 + evaluate(tree)) % MOD
  end
  print("parser " .. N .. " " .. chars .. " " .. tokens .. " " .. nodes .. " " .. total)
end

main()
