// Placeholder: the stand-in's implementation replaces this file.
