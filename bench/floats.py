# Float arithmetic: escape-time iteration counts over a grid of the complex
# plane; the counts are ints, so the output does not depend on float printing.
N = 450


def escape(cr, ci, limit):
    zr = 0.0
    zi = 0.0
    k = 0
    while k < limit:
        zr2 = zr * zr
        zi2 = zi * zi
        if zr2 + zi2 > 4.0:
            return k
        zi = 2.0 * zr * zi + ci
        zr = zr2 - zi2 + cr
        k += 1
    return limit


def main():
    total = 0
    inside = 0
    for y in range(N):
        ci = -1.2 + 2.4 * y / N
        for x in range(N):
            cr = -2.0 + 2.6 * x / N
            k = escape(cr, ci, 100)
            total += k
            if k == 100:
                inside += 1
    print("floats", total, inside)


main()
