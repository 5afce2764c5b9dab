# filled in later
