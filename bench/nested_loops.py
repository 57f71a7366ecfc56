# Nested loops over ranges with integer arithmetic: Pythagorean triples
# found by a triple loop, a multiplication table folded into a checksum,
# and lattice points counted inside circles.
N = 540


def main():
    triples = 0
    perimeter = 0
    for a in range(1, N):
        for b in range(a, N):
            ab = a * a + b * b
            for c in range(b, N):
                if c * c == ab:
                    triples += 1
                    perimeter += a + b + c
    table = 0
    for i in range(1, 4 * N):
        for j in range(1, 4 * N):
            table = (table + i * j % 7 * (i + j)) % 1000000007
    inside = 0
    for r in range(1, N // 4):
        for x in range(-r, r + 1):
            for y in range(-r, r + 1):
                if x * x + y * y <= r * r:
                    inside += 1
    print("nested_loops", triples, perimeter, table, inside)


main()
