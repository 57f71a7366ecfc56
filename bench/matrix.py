# Matrix arithmetic on lists of lists: products of square int matrices with
# a triple loop, a transpose, element-wise sums, and repeated squaring of a
# small matrix modulo a prime.
N = 190

MOD = 1000003


def make_matrix(n, seed):
    rows = []
    for _ in range(n):
        row = []
        for _ in range(n):
            seed = (seed * 1103515245 + 12345) % 2147483648
            row.append(seed // 65536 % 19 - 9)
        rows.append(row)
    return rows


def multiply(a, b):
    n = len(a)
    m = len(b[0])
    inner = len(b)
    c = []
    for i in range(n):
        row_a = a[i]
        row = []
        for j in range(m):
            s = 0
            for k in range(inner):
                s += row_a[k] * b[k][j]
            row.append(s)
        c.append(row)
    return c


def transpose(a):
    return [[row[j] for row in a] for j in range(len(a[0]))]


def plus(a, b):
    return [[a[i][j] + b[i][j] for j in range(len(a[i]))] for i in range(len(a))]


def reduce_mod(a):
    for row in a:
        for j in range(len(row)):
            row[j] = row[j] % MOD


def trace(a):
    t = 0
    for i in range(len(a)):
        t += a[i][i]
    return t


def checksum(a):
    h = 0
    for row in a:
        for v in row:
            h = (h * 31 + v) % MOD
    return h


def main():
    a = make_matrix(N, 1)
    b = make_matrix(N, 2)
    c = multiply(a, b)
    d = multiply(transpose(b), transpose(a))
    agree = 0
    for i in range(N):
        for j in range(N):
            if c[i][j] == d[j][i]:
                agree += 1
    e = plus(multiply(c, a), b)
    p = make_matrix(12, 3)
    reduce_mod(p)
    for _ in range(N // 2):
        p = multiply(p, p)
        reduce_mod(p)
    print("matrix", trace(c), checksum(c), agree, trace(e), checksum(e), checksum(p))


main()
