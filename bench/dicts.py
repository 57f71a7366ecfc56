# Dicts: word counts built by insert and lookup, then keys/values walks,
# membership tests and removal of rare words.
N = 5000000


def main():
    counts = {}
    seed = 12345
    for _ in range(N):
        seed = (seed * 1103515245 + 12345) % 2147483648
        w = "w" + str(seed % 1500)
        if w in counts:
            counts[w] += 1
        else:
            counts[w] = 1
    distinct = len(counts)
    rare = []
    for k in counts:
        if counts[k] < N // 1500:
            rare.append(k)
    for k in rare:
        del counts[k]
    total = 0
    for v in counts.values():
        total += v
    keylen = 0
    for k in counts.keys():
        keylen += len(k)
    print("dicts", distinct, len(rare), len(counts), total, keylen)


main()
