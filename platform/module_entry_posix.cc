// The shared object has no entry point to record; this file only gives the module target a
// source of its own beside the whole core archive.
namespace quindle {}
