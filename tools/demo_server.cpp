// demo server: being written
