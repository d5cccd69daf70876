// The graphics runtime starts here.
