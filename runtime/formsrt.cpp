// formsrt is the runtime modules linked whole; see CMakeLists.txt.
