# A recursive-descent parser and evaluator: arithmetic expressions are
# generated as text, cut into tokens, parsed into trees of lists and
# evaluated modulo a prime, so every value stays a small int.
N = 25000

MOD = 1000003


class Rng:
    def __init__(self, seed):
        self.seed = seed

    def below(self, n):
        self.seed = (self.seed * 1103515245 + 12345) % 2147483648
        return self.seed // 65536 % n


def gen(rng, depth):
    if depth == 0 or rng.below(4) == 0:
        return str(rng.below(1000))
    choice = rng.below(12)
    if choice == 0:
        return "-" + gen(rng, depth - 1)
    elif choice == 1:
        return "(" + gen(rng, depth - 1) + ")"
    op = "+-*/%"[choice % 5]
    return gen(rng, depth - 1) + " " + op + " " + gen(rng, depth - 1)


def tokenize(text):
    tokens = []
    digits = "0123456789"
    number = -1
    for c in text:
        if c in digits:
            if number < 0:
                number = 0
            number = number * 10 + int(c)
            continue
        if number >= 0:
            tokens.append(number)
            number = -1
        if c != " ":
            tokens.append(c)
    if number >= 0:
        tokens.append(number)
    tokens.append("end")
    return tokens


class Parser:
    def __init__(self, tokens):
        self.tokens = tokens
        self.pos = 0

    def peek(self):
        return self.tokens[self.pos]

    def take(self):
        token = self.tokens[self.pos]
        self.pos += 1
        return token

    # expr := term (("+" | "-") term)*
    def expr(self):
        node = self.term()
        while self.peek() == "+" or self.peek() == "-":
            op = self.take()
            node = [op, node, self.term()]
        return node

    # term := unary (("*" | "/" | "%") unary)*
    def term(self):
        node = self.unary()
        while self.peek() == "*" or self.peek() == "/" or self.peek() == "%":
            op = self.take()
            node = [op, node, self.unary()]
        return node

    # unary := "-" unary | "(" expr ")" | number
    def unary(self):
        token = self.take()
        if token == "-":
            return ["neg", self.unary()]
        if token == "(":
            node = self.expr()
            if self.take() != ")":
                raise SyntaxError("expected )")
            return node
        if not isinstance(token, int):
            raise SyntaxError("expected a number")
        return token


def evaluate(node):
    if isinstance(node, int):
        return node
    op = node[0]
    if op == "neg":
        return (MOD - evaluate(node[1])) % MOD
    a = evaluate(node[1])
    b = evaluate(node[2])
    if op == "+":
        return (a + b) % MOD
    elif op == "-":
        return (a - b) % MOD
    elif op == "*":
        return a * b % MOD
    if b == 0:
        return a
    if op == "/":
        return a // b
    return a % b


def count_nodes(node):
    if isinstance(node, int):
        return 1
    if node[0] == "neg":
        return 1 + count_nodes(node[1])
    return 1 + count_nodes(node[1]) + count_nodes(node[2])


def main():
    rng = Rng(7)
    total = 0
    tokens = 0
    nodes = 0
    chars = 0
    for _ in range(N):
        text = gen(rng, 8)
        chars += len(text)
        toks = tokenize(text)
        tokens += len(toks)
        parser = Parser(toks)
        tree = parser.expr()
        if parser.peek() != "end":
            raise SyntaxError("unparsed input")
        nodes += count_nodes(tree)
        total = (total * 31 + evaluate(tree)) % MOD
    print("parser", N, chars, tokens, nodes, total)


main()
