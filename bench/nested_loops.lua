-- Nested loops over ranges with integer arithmetic: Pythagorean triples
-- found by a triple loop, a multiplication table folded into a checksum,
-- and lattice points counted inside circles.
local N = 540

local function main()
  local triples = 0
  local perimeter = 0
  for a = 1, N - 1 do
    for b = a, N - 1 do
      local ab = a * a + b * b
      for c = b, N - 1 do
        if c * c == ab then
          triples = triples + 1
          perimeter = perimeter + a + b + c
        end
      end
    end
  end
  local tbl = 0
  for i = 1, 4 * N - 1 do
    for j = 1, 4 * N - 1 do
      tbl = (tbl + i * j % 7 * (i + j)) % 1000000007
    end
  end
  local inside = 0
  for r = 1, N // 4 - 1 do
    for x = -r, r do
      for y = -r, r do
        if x * x + y * y <= r * r then
          inside = inside + 1
        end
      end
    end
  end
  print("nested_loops " .. triples .. " " .. perimeter .. " " .. tbl .. " " .. inside)
end

main()
