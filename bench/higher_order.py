# Higher-order functions: map, filter, reduce and compose written with
# lambdas and closures, pipelines kept in lists of functions, partial
# application, and a memoizing wrapper around a recursive function.
N = 16000


def map_list(f, xs):
    result = []
    for x in xs:
        result.append(f(x))
    return result


def filter_list(pred, xs):
    result = []
    for x in xs:
        if pred(x):
            result.append(x)
    return result


def reduce_list(f, xs, acc):
    for x in xs:
        acc = f(acc, x)
    return acc


def compose(f, g):
    return lambda x: f(g(x))


def pipeline(fs):
    return reduce_list(compose, fs, lambda x: x)


def partial(f, a):
    return lambda b: f(a, b)


def count_if(pred, xs):
    return reduce_list(lambda n, x: n + (1 if pred(x) else 0), xs, 0)


# The wrapped function receives the memoized one, so its recursive calls hit the cache.
def memoize(f):
    cache = {}

    def lookup(n):
        if n in cache:
            return cache[n]
        v = f(lookup, n)
        cache[n] = v
        return v
    return lookup


def main():
    plus = lambda a, b: a + b
    times = lambda a, b: a * b
    xs = [i for i in range(100)]
    total = 0
    evens = 0
    ways = 0
    for r in range(N):
        steps = [partial(plus, r % 13), partial(times, 3), lambda x: x % 1009, partial(plus, 7)]
        f = pipeline(steps)
        ys = map_list(f, xs)
        odd = filter_list(lambda y: y % 2 == 1, ys)
        total = (total + reduce_list(plus, odd, 0) + reduce_list(lambda m, y: m * 31 % 65521 + y, ys, 1)) % 1000000007
        evens += count_if(lambda y: y % 2 == 0, ys)
        m = 1000 + r
        paths = memoize(lambda self, n: 1 if n < 2 else (self(n - 1) + self(n - 2) + self(n // 3)) % m)
        ways += paths(30 + r % 20)
    print("higher_order", total, evens, ways)


main()
