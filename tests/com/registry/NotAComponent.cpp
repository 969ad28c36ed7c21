// A loadable library that exports nothing a component library must.
extern "C" int quiboNotAComponent() {
    return 1;
}
