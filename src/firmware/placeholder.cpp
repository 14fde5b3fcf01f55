// The firmware operations are added here as they are built.
