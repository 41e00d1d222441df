// fontconfig keeps its parsed configuration and resolved patterns for the
// life of the process, out of the leak checker's sight; our dialogs resolve
// their two fonts once, so what it reports there is a fixed cost, not a leak.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
