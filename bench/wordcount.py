# Text processing: a text of generated sentences is built with join, cut back
# into lines and words with split, and its words, letters and word pairs are
# counted in dicts; the most frequent words are picked by hand.
N = 100000


def next_seed(seed):
    return (seed * 1103515245 + 12345) % 2147483648


def make_vocabulary(size):
    starts = ["qu", "br", "st", "l", "m", "p", "tr", "s", "c", "d", "gr", "h"]
    middles = ["a", "e", "i", "o", "u", "ea", "ou", "ai"]
    ends = ["n", "ll", "ss", "t", "rk", "nd", "ve", "", "ng", "r"]
    vocabulary = []
    for i in range(size):
        word = starts[i % 12] + middles[i // 12 % 8] + ends[i // 96 % 10]
        if i >= 960:
            word = word + middles[i % 8] + ends[i % 10]
        vocabulary.append(word)
    return vocabulary


def make_text(lines, vocabulary):
    seed = 2024
    out_lines = []
    for _ in range(lines):
        words = []
        seed = next_seed(seed)
        for _ in range(6 + seed % 9):
            seed = next_seed(seed)
            # Squaring skews the choice toward the front of the vocabulary, as in real text.
            r = seed % 1000
            w = vocabulary[r * r // 1000 * len(vocabulary) // 1000]
            if seed // 1000 % 7 == 0:
                w += ","
            words.append(w)
        out_lines.append(" ".join(words) + ".")
    return "\n".join(out_lines)


def main():
    vocabulary = make_vocabulary(1200)
    text = make_text(N, vocabulary)
    counts = {}
    pairs = {}
    initials = {}
    total = 0
    letters = 0
    longest = ""
    for line in text.split("\n"):
        clean = line.replace(",", "").replace(".", "")
        prev = ""
        for w in clean.split(" "):
            total += 1
            letters += len(w)
            if len(w) > len(longest) or (len(w) == len(longest) and w < longest):
                longest = w
            if w in counts:
                counts[w] += 1
            else:
                counts[w] = 1
            c = w[0]
            if c in initials:
                initials[c] += 1
            else:
                initials[c] = 1
            if prev != "":
                pair = prev + " " + w
                if pair in pairs:
                    pairs[pair] += 1
                else:
                    pairs[pair] = 1
            prev = w
    top = []
    for _ in range(5):
        best = ""
        best_count = 0
        for w in counts:
            n = counts[w]
            if n > best_count or (n == best_count and w < best):
                best = w
                best_count = n
        top.append(best + ":" + str(best_count))
        del counts[best]
    repeated = 0
    for p in pairs:
        if pairs[p] > 1:
            repeated += 1
    print("wordcount", len(text), total, letters, longest)
    print("distinct", len(counts) + 5, len(pairs), repeated, initials["q"], initials["s"])
    print("top", " ".join(top))


main()
