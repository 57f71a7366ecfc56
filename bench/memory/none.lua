local N = 1000000
local i = 0
local total = 0
while i < N do
  total = total + i % 7
  i = i + 1
end
print(total)
