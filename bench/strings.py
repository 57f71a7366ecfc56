# String building, split/join and indexing: sentences are assembled word by
# word, split again, and read back character by character.
N = 60000


def make_word(seed):
    letters = "abcdefghijklmnopqrstuvwxyz"
    w = ""
    n = 3 + seed % 5
    for i in range(n):
        w = w + letters[(seed * 7 + i * 13) % 26]
    return w


def main():
    total = 0
    vowels = 0
    for r in range(N):
        words = []
        for i in range(12):
            words.append(make_word(r + i * 31))
        line = " ".join(words)
        back_again = line.split(" ")
        total += len(line) + len(back_again)
        for w in back_again:
            if w[0] == w[len(w) - 1]:
                total += 1
        i = 0
        while i < len(line):
            if line[i] in "aeiou":
                vowels += 1
            i += 2
        csv = ",".join(line.split("e"))
        total += len(csv.split(","))
    print("strings", total, vowels)


main()
