# A sieve of primes: the sieve of Eratosthenes over a list of flags, then
# the primes collected into a list, twin primes and the largest gap between
# neighbours, and Goldbach pairs counted for the even numbers up to a bound.
N = 800000


def sieve(limit):
    is_prime = [True for _ in range(limit + 1)]
    is_prime[0] = False
    is_prime[1] = False
    for p in range(2, limit + 1):
        if p * p > limit:
            break
        if is_prime[p]:
            for m in range(p * p, limit + 1, p):
                is_prime[m] = False
    return is_prime


def main():
    is_prime = sieve(N)
    primes = [p for p in range(N + 1) if is_prime[p]]
    twins = 0
    gap = 0
    total = 0
    for i in range(1, len(primes)):
        d = primes[i] - primes[i - 1]
        if d == 2:
            twins += 1
        if d > gap:
            gap = d
    for p in primes:
        total = (total + p) % 1000000007
    goldbach = 0
    for n in range(4, N // 20, 2):
        for p in primes:
            if p > n // 2:
                break
            if is_prime[n - p]:
                goldbach += 1
    print("sieve", len(primes), primes[len(primes) - 1], twins, gap, total, goldbach)


main()
