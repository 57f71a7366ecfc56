# String building: lines grown piece by piece with s = s + x and with +=,
# numbers rendered into text, a report assembled with join, and a long
# string grown one line at a time.
N = 75000


def pad_left(text, width):
    while len(text) < width:
        text = " " + text
    return text


def row(i):
    s = "item" + str(i) + ":"
    for k in range(8):
        s = s + " " + str((i * k + 3) % 1000)
    return s


def csv_line(values):
    line = ""
    for v in values:
        if line != "":
            line += ","
        line += str(v)
    return line


def main():
    total = 0
    checksum = 0
    long = ""
    for r in range(N):
        lines = []
        for i in range(10):
            lines.append(pad_left(row(r * 10 + i), 48))
        report = "\n".join(lines)
        total += len(report)
        csv = csv_line([r, r * 2, "x" + str(r % 7), r % 100, -r])
        total += len(csv)
        if report[r % 400] == " ":
            checksum += 1
        long += csv + ";"
        if len(long) > 20000:
            checksum = (checksum * 7 + len(long.split("1"))) % 1000000007
            long = ""
    print("string_build", total, checksum, len(long))


main()
