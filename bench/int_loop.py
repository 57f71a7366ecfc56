# Loops and integer arithmetic: a sieve over a list of flags, then digit sums
# and a mixing hash computed with while loops and // and %.
N = 1500000


def sieve(limit):
    flags = [True for _ in range(limit + 1)]
    flags[0] = False
    flags[1] = False
    p = 2
    while p * p <= limit:
        if flags[p]:
            m = p * p
            while m <= limit:
                flags[m] = False
                m += p
        p += 1
    count = 0
    for i in range(limit + 1):
        if flags[i]:
            count += 1
    return count


def digit_sum(n):
    s = 0
    while n > 0:
        s += n % 10
        n = n // 10
    return s


def main():
    primes = sieve(N)
    ds = 0
    h = 7
    i = 0
    while i < N:
        ds += digit_sum(i * 37 + 11)
        h = (h * 31 + i) % 1000000007
        i += 1
    print("int_loop", primes, ds, h)


main()
