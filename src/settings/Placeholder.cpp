// Replaced by the module's first class.
