// orvano-html: generates a project's interface allocation description as HTML pages.

int main() { return 1; }
