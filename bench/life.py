# A cellular automaton on a grid of lists: Conway's rules on a torus,
# each generation counting the eight neighbours of every cell into a new
# grid, from a pseudo-random start.
N = 3500

SIZE = 48


def make_grid(size, seed):
    grid = []
    for _ in range(size):
        row = []
        for _ in range(size):
            seed = (seed * 1103515245 + 12345) % 2147483648
            row.append(1 if seed // 65536 % 3 == 0 else 0)
        grid.append(row)
    return grid


def step(grid):
    size = len(grid)
    next_grid = []
    for y in range(size):
        above = grid[(y - 1) % size]
        here = grid[y]
        below = grid[(y + 1) % size]
        row = []
        for x in range(size):
            left = (x - 1) % size
            right = (x + 1) % size
            n = above[left] + above[x] + above[right] + here[left] + here[right] + below[left] + below[x] + below[right]
            if n == 3 or (n == 2 and here[x] == 1):
                row.append(1)
            else:
                row.append(0)
        next_grid.append(row)
    return next_grid


def population(grid):
    count = 0
    for row in grid:
        for cell in row:
            count += cell
    return count


def main():
    grid = make_grid(SIZE, 5)
    history = []
    for _ in range(N):
        grid = step(grid)
        history.append(population(grid))
    h = 0
    for p in history:
        h = (h * 131 + p) % 1000000007
    print("life", population(grid), history[0], h)


main()
