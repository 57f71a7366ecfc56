-- N-queens by backtracking: every solution for boards of five to eight
-- squares, with columns and both diagonals marked in tables of flags, and
-- the first solution of each board kept as a table of columns.
local N = 4000

-- Columns and rows count from 0, as in the board's printed form; the flag
-- tables are indexed from 1.
local function place(row, size, cols, diag1, diag2, board, found)
  if row == size then
    if #found == 0 then
      local copy = {}
      for i, c in ipairs(board) do
        copy[i] = c
      end
      found[1] = copy
    end
    return 1
  end
  local count = 0
  for col = 0, size - 1 do
    local d1 = row + col + 1
    local d2 = row - col + size
    if not cols[col + 1] and not diag1[d1] and not diag2[d2] then
      cols[col + 1] = true
      diag1[d1] = true
      diag2[d2] = true
      board[#board + 1] = col
      count = count + place(row + 1, size, cols, diag1, diag2, board, found)
      board[#board] = nil
      cols[col + 1] = false
      diag1[d1] = false
      diag2[d2] = false
    end
  end
  return count
end

local function solve(size)
  local cols, diag1, diag2 = {}, {}, {}
  for i = 1, size do
    cols[i] = false
  end
  for i = 1, 2 * size - 1 do
    diag1[i] = false
    diag2[i] = false
  end
  local found = {}
  local count = place(0, size, cols, diag1, diag2, {}, found)
  return count, found[1]
end

local function main()
  local total = 0
  local firsts = {}
  for r = 0, N - 1 do
    local size = 5 + r % 4
    local count, first = solve(size)
    total = total + count
    if r < 4 then
      firsts[#firsts + 1] = table.concat(first)
    end
  end
  print("queens " .. total .. " " .. table.concat(firsts, " "))
end

main()
