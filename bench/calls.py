# Calls and returns: tak-style triple recursion plus a shallow two-argument
# Ackermann, so nearly all time goes to entering and leaving functions.
N = 150


def tak(x, y, z):
    if y < x:
        return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
    return z


def ack(m, n):
    if m == 0:
        return n + 1
    if n == 0:
        return ack(m - 1, 1)
    return ack(m - 1, ack(m, n - 1))


def main():
    total = 0
    for r in range(N):
        total += tak(18 + r % 2, 12, 6)
        total += ack(2, 40 + r % 10)
    print("calls", total)


main()
