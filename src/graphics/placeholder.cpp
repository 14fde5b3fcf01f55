// The graphics operations are added here as they are built.
