// vcctl: the console front end (commands arrive in later commits).
#include <cstdio>

int main() {
    std::fputs("vcctl: not yet built\n", stderr);
    return 3;
}
