"""The closing report shared by the install, configure and package checks."""


def report(failures, what):
    """Prints each failure and a summary line; returns the exit status."""
    for failure in failures:
        print(failure)
    print("%s: %d failures" % (what, len(failures)))
    return 1 if failures else 0
