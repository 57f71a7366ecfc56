# Recursive puzzles: Takeuchi's function, Ackermann's function with m = 3,
# the towers of Hanoi counted move by move, and the number of ways to write
# a number as a sum of smaller parts.
import sys

N = 22

# Ackermann's function with m = 3 nests calls about as deep as its result.
sys.setrecursionlimit(10000)


def tak(x, y, z):
    if y >= x:
        return z
    return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))


def ackermann(m, n):
    if m == 0:
        return n + 1
    if n == 0:
        return ackermann(m - 1, 1)
    return ackermann(m - 1, ackermann(m, n - 1))


def hanoi(n, source, target, spare, moves):
    if n == 0:
        return
    hanoi(n - 1, source, spare, target, moves)
    moves[target] += 1
    moves[source] -= 1
    hanoi(n - 1, spare, target, source, moves)


def partitions(n, largest):
    if n == 0:
        return 1
    if n < 0 or largest == 0:
        return 0
    return partitions(n - largest, largest) + partitions(n, largest - 1)


def main():
    total = 0
    for r in range(N):
        total += tak(18 + r % 3, 12, 6)
        total += ackermann(3, 5 + r % 2)
        moves = [14 + r % 3, 0, 0]
        hanoi(moves[0], 0, 2, 1, moves)
        total += moves[2] * 100 + moves[0]
        total += partitions(40 + r % 5, 40 + r % 5)
    print("recursion", total)


main()
