# Sorting written in the language: a top-down merge sort of ints and of
# words, and an insertion sort of records by a comparison function, all over
# lists the program builds from a pseudo-random sequence.
N = 300000


def next_seed(seed):
    return (seed * 1103515245 + 12345) % 2147483648


def merge_sort(xs, lo, hi, tmp):
    if hi - lo < 2:
        return
    mid = (lo + hi) // 2
    merge_sort(xs, lo, mid, tmp)
    merge_sort(xs, mid, hi, tmp)
    i = lo
    j = mid
    k = lo
    while i < mid and j < hi:
        if xs[j] < xs[i]:
            tmp[k] = xs[j]
            j += 1
        else:
            tmp[k] = xs[i]
            i += 1
        k += 1
    while i < mid:
        tmp[k] = xs[i]
        i += 1
        k += 1
    while j < hi:
        tmp[k] = xs[j]
        j += 1
        k += 1
    for k in range(lo, hi):
        xs[k] = tmp[k]


def sort(xs):
    merge_sort(xs, 0, len(xs), [0] * len(xs))
    return xs


def insertion_sort_by(xs, before):
    for i in range(1, len(xs)):
        v = xs[i]
        j = i - 1
        while j >= 0 and before(v, xs[j]):
            xs[j + 1] = xs[j]
            j -= 1
        xs[j + 1] = v


def make_word(seed):
    letters = "etaoinshrdlucmfw"
    w = ""
    for _ in range(2 + seed % 5):
        seed = seed // 7
        w += letters[seed % 16]
    return w


def main():
    seed = 42
    xs = []
    for _ in range(N):
        seed = next_seed(seed)
        xs.append(seed % 1000000)
    sort(xs)
    check = 0
    for i in range(len(xs)):
        check = (check * 31 + xs[i]) % 1000000007
    words = []
    for _ in range(N // 3):
        seed = next_seed(seed)
        words.append(make_word(seed // 16))
    sort(words)
    distinct = 1
    for i in range(1, len(words)):
        if words[i] != words[i - 1]:
            distinct += 1
    by_score = lambda a, b: a[0] > b[0] or (a[0] == b[0] and a[1] < b[1])
    ranked = 0
    for _ in range(N // 300):
        records = []
        for _ in range(40):
            seed = next_seed(seed)
            records.append([seed % 50, "p" + str(seed // 50 % 1000)])
        insertion_sort_by(records, by_score)
        ranked = (ranked + records[0][0] * 1000 + int(records[0][1][1:])) % 1000000007
    print("sorting", xs[0], xs[N // 2], xs[N - 1], check)
    print("words", len(words), distinct, words[0], words[len(words) - 1])
    print("records", ranked)


main()
