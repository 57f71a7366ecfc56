# Closures: counters kept alive in their defining call and bumped through
# nonlocal, and lambdas handed to small map/filter/fold helpers.
N = 120000


def make_counter(step):
    count = 0

    def bump():
        nonlocal count
        count += step
        return count
    return bump


def make_scaler(k):
    return lambda x: x * k + 1


def map_list(f, xs):
    return [f(x) for x in xs]


def keep(pred, xs):
    return [x for x in xs if pred(x)]


def fold(f, acc, xs):
    for x in xs:
        acc = f(acc, x)
    return acc


def main():
    counters = [make_counter(i + 1) for i in range(5)]
    base = [i for i in range(50)]
    total = 0
    for r in range(N):
        scale = make_scaler(r % 7 + 1)
        ys = map_list(scale, base)
        odd = keep(lambda v: v % 2 == 1, ys)
        total = (total + fold(lambda a, b: a + b, 0, odd)) % 1000000007
        c = counters[r % 5]
        total += c()
    last = [c() for c in counters]
    print("closures", total, ",".join(str(v) for v in last))


main()
