// The program of a layer check: it only has to link (see src/core/CMakeLists.txt).
int main() { return 0; }
