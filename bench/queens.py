# N-queens by backtracking: every solution for boards of five to eight
# squares, with columns and both diagonals marked in lists of flags, and
# the first solution of each board kept as a list of columns.
N = 4000


def place(row, size, cols, diag1, diag2, board, found):
    if row == size:
        if len(found) == 0:
            found.append(list(board))
        return 1
    count = 0
    for col in range(size):
        if not cols[col] and not diag1[row + col] and not diag2[row - col + size - 1]:
            cols[col] = True
            diag1[row + col] = True
            diag2[row - col + size - 1] = True
            board.append(col)
            count += place(row + 1, size, cols, diag1, diag2, board, found)
            board.pop()
            cols[col] = False
            diag1[row + col] = False
            diag2[row - col + size - 1] = False
    return count


def solve(size):
    cols = [False for _ in range(size)]
    diag1 = [False for _ in range(2 * size - 1)]
    diag2 = [False for _ in range(2 * size - 1)]
    found = []
    count = place(0, size, cols, diag1, diag2, [], found)
    return [count, found[0]]


def main():
    total = 0
    firsts = []
    for r in range(N):
        size = 5 + r % 4
        result = solve(size)
        total += result[0]
        if r < 4:
            firsts.append("".join(str(c) for c in result[1]))
    print("queens", total, " ".join(firsts))


main()
