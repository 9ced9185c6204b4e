# The package of the compiled module orvane_vantrel._native; it adds nothing.
