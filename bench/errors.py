# Errors: try/except around calls that raise the program's own exceptions or
# built-in ones from a few calls down, with finally blocks and re-raises on the
# way out.
N = 600000

# qlr's built-in errors carry the source line that raised them, and
# errors.qlr adds that line up; the index error is raised on line 20 there.
INDEX_ERROR_LINE = 20


class AppError(Exception):
    def __init__(self, code):
        super().__init__()
        self.code = code


class Retry(AppError):
    pass


def level3(i, d):
    if i % 5 == 0:
        raise AppError(i % 11)
    if i % 5 == 1:
        raise Retry(i % 13)
    if i % 5 == 2:
        return d["missing"]
    if i % 5 == 3:
        return [1, 2, 3][i % 3 + 3]
    return i % 9


def level2(i, d):
    return level3(i, d) + 1


def level1(i, d, tally):
    try:
        return level2(i, d)
    except Retry as e:
        raise AppError(e.code + 100)
    finally:
        tally[0] += 1


def main():
    d = {"present": 1}
    tally = [0]
    total = 0
    kinds = {"app": 0, "key": 0, "index": 0, "ok": 0}
    for i in range(N):
        try:
            total += level1(i, d, tally)
            kinds["ok"] += 1
        except AppError as e:
            total += e.code
            kinds["app"] += 1
        except KeyError:
            kinds["key"] += 1
        except IndexError:
            total += INDEX_ERROR_LINE
            kinds["index"] += 1
    print("errors", total, tally[0], kinds["app"], kinds["key"], kinds["index"], kinds["ok"])


main()
