local N = 1000000
local function make_counter()
  local total = 0
  local function bump()
    total = total + 1
    return total
  end
  return bump
end
local i = 0
local s = 0
while i < N do
  local c = make_counter()
  c()
  s = s + c()
  i = i + 1
end
print(s)
